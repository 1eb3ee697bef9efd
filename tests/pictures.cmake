# Pictures for the picture tests in the formats the OLE loader reads, made
# at build time with ImageMagick (scripts/setup.sh installs it): 200 x 100
# pixels in four coloured quadrants, so that size, placement and which way
# up a picture was drawn can all be read off the pixels. BMP pictures are
# written by the tests themselves.
find_program(VORDA_CONVERT convert)
set(PICTURE_DIR ${CMAKE_BINARY_DIR}/bin/pictures)
set(PICTURE_FILES)
if(VORDA_CONVERT)
  set(QUADRANTS -size 100x50 "xc:#FF0000" -size 100x50 "xc:#00FF00" +append
      "(" -size 100x50 "xc:#0000FF" -size 100x50 "xc:#FFFF00" +append ")" -append
      -density 96 -units PixelsPerInch -strip)
  # A prefix names the encoding where the extension alone would not.
  foreach(file quadrants.jpg quadrants.gif quadrants.png)
    set(encoder "")
    if(file MATCHES "png$")
      set(encoder "PNG24:")
    endif()
    add_custom_command(
      OUTPUT ${PICTURE_DIR}/${file}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PICTURE_DIR}
      COMMAND ${VORDA_CONVERT} ${QUADRANTS} -quality 95 ${encoder}${PICTURE_DIR}/${file}
      COMMENT "Test picture ${file}"
      VERBATIM)
    list(APPEND PICTURE_FILES ${PICTURE_DIR}/${file})
  endforeach()
else()
  message(WARNING "ImageMagick's convert not found: the JPEG, GIF and PNG picture tests will skip")
endif()
add_custom_target(test_pictures DEPENDS ${PICTURE_FILES})
add_dependencies(pictures_test test_pictures)

# Sources of vorda.dll. The pure ones include no platform header and can
# also be built natively.
set(VORDA_PURE_SOURCES
  src/gdi/conversions.cpp
  src/gdi/column_reduce.cpp
  src/gdi/text_layout.cpp
  src/gdi/marker_geometry.cpp
  src/gdi/crosshair_slots.cpp
  src/surfaces/bmp_layout.cpp
  src/surfaces/picture_fit.cpp
  src/surfaces/picture_bytes.cpp
  src/traces/block_plan.cpp
  src/traces/block_format.cpp
  src/gl/gl_geometry.cpp
)
set(VORDA_PLATFORM_SOURCES
  src/dllmain.cpp
  src/host/report.cpp
  src/gdi/xform.cpp
  src/gdi/pens.cpp
  src/gdi/polyline.cpp
  src/gdi/strip_conditions.cpp
  src/gdi/text.cpp
  src/gdi/markers.cpp
  src/gdi/crosshair.cpp
  src/surfaces/bitmap_surface.cpp
  src/surfaces/bmp_file.cpp
  src/surfaces/metafile_surface.cpp
  src/surfaces/pictures.cpp
  src/traces/trace_call.cpp
  src/traces/xy_trace.cpp
  src/traces/time_series.cpp
  src/gl/gl_error.cpp
  src/gl/gl_context.cpp
  src/gl/gl_draw.cpp
  src/gl/gl_font.cpp
)
set(VORDA_SYSTEM_LIBS gdi32 user32 kernel32 ole32 oleaut32 uuid opengl32 glu32)

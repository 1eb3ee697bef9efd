# Sources of vorda.dll. The pure ones include no platform header and can
# also be built natively.
set(VORDA_PURE_SOURCES
  src/gdi/conversions.cpp
  src/gdi/text_layout.cpp
  src/gdi/marker_geometry.cpp
  src/gdi/crosshair_slots.cpp
  src/surfaces/bmp_layout.cpp
  src/traces/block_plan.cpp
  src/traces/block_format.cpp
)
set(VORDA_PLATFORM_SOURCES
  src/dllmain.cpp
  src/host/report.cpp
  src/gdi/xform.cpp
  src/gdi/pens.cpp
  src/gdi/polyline.cpp
  src/gdi/text.cpp
  src/gdi/markers.cpp
  src/gdi/crosshair.cpp
  src/surfaces/bitmap_surface.cpp
  src/surfaces/bmp_file.cpp
  src/traces/trace_call.cpp
  src/traces/xy_trace.cpp
  src/traces/time_series.cpp
)
set(VORDA_SYSTEM_LIBS gdi32 user32 kernel32)

# The chart tool's portable part (readers, time arithmetic, axes, layout,
# options): no platform header, so it builds for Windows and natively.
set(CHART_CORE_SOURCES
  tools/chart/csv_reader.cpp
  tools/chart/csv_dialect.cpp
  tools/chart/time_parse.cpp
  tools/chart/timeline.cpp
  tools/chart/calendar_ticks.cpp
  tools/chart/shown_path.cpp
  tools/chart/wav_reader.cpp
  tools/chart/axes.cpp
  tools/chart/layout.cpp
  tools/chart/tick_labels.cpp
  tools/chart/panels.cpp
  tools/chart/panel_layout.cpp
  tools/chart/channel_names.cpp
  tools/chart/options.cpp
)

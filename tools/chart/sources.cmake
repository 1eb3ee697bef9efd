# The chart tool's portable part (readers, time arithmetic, axes, layout,
# options): no platform header, so it builds for Windows and natively.
set(CHART_CORE_SOURCES
  tools/chart/csv_reader.cpp
  tools/chart/csv_dialect.cpp
  tools/chart/frame_store.cpp
  tools/chart/time_parse.cpp
  tools/chart/timeline.cpp
  tools/chart/calendar_ticks.cpp
  tools/chart/shown_path.cpp
  tools/chart/wav_reader.cpp
  tools/chart/raw_reader.cpp
  tools/chart/sample_access.cpp
  tools/chart/exact_trace.cpp
  tools/chart/summaries.cpp
  tools/chart/axes.cpp
  tools/chart/layout.cpp
  tools/chart/tick_labels.cpp
  tools/chart/panels.cpp
  tools/chart/panel_layout.cpp
  tools/chart/channel_names.cpp
  tools/chart/options.cpp
)

# What both tools read recordings with: the readers' formats, the sample
# sources and the cache store (plain C++ apart from the file access, which
# has a Windows and a POSIX way).
set(RECORDING_SOURCES
  tools/recording/sample_encoding.cpp
  tools/recording/interleaved_source.cpp
  tools/recording/wav_header.cpp
  tools/recording/raw_layout.cpp
  tools/recording/file_bytes.cpp
  tools/recording/cache_file.cpp
  tools/recording/cache_store.cpp
  tools/recording/summary.cpp
  tools/recording/stored_summary.cpp
)
list(APPEND CHART_CORE_SOURCES ${RECORDING_SOURCES})

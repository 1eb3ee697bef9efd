/* Where vorda puts a sample: the model-to-device mapping of MSSetXForm and
 * MSPolyLine, and the time the time-series trace drivers give each sample
 * of a burst. A host that computes pixels or times with these functions
 * gets exactly vorda's, bit for bit: vorda itself is built on them.
 *
 * Plain C99 (or C++), inline, no platform header and nothing to link but
 * the C library's log10. Exactness needs IEEE double arithmetic without
 * excess precision or fused multiply-add: on i686 build with -msse2
 * -mfpmath=sse, and with -ffp-contract=off where the target has FMA. */
#ifndef VORDA_MAP_H
#define VORDA_MAP_H

#include <math.h>
#include <stdint.h>

#include "vorda_data.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Model to device ---- */

/* Whether an axis value breaks a "LINE_STRIP": the missing-sample value or
 * not-a-number. MSPolyLine tests the axis value, so on a logarithmic axis
 * the missing-sample value is drawn as its logarithm and only
 * not-a-number breaks the line (vorda_map_point does the same). */
static inline int vorda_is_missing(double v) {
  return v != v || v == VORDA_MISSING_SAMPLE;
}

/* Truncation toward zero; not-a-number, infinities and values outside the
 * 32-bit range give INT32_MIN. */
static inline int32_t vorda_trunc_to_int32(double v) {
  if (v > -2147483649.0 && v < 2147483648.0) return (int32_t)v;
  return INT32_MIN;
}

/* A device coordinate: truncated, then clamped to 0..16383. */
static inline int32_t vorda_clamp_to_device(double v) {
  int32_t t = vorda_trunc_to_int32(v);
  if (t > VORDA_MAX_DEVICE_COORDINATE) return VORDA_MAX_DEVICE_COORDINATE;
  return t < 0 ? 0 : t;
}

/* Where a zero or negative value sits on a logarithmic axis, on both axes:
 * minus the distance between the y axis's ends (in axis units). */
static inline double vorda_log_floor(double y_axis_top, double y_axis_bottom) {
  return y_axis_top > y_axis_bottom ? y_axis_bottom - y_axis_top : y_axis_top - y_axis_bottom;
}

/* A model value's axis value: itself on a linear axis; on a logarithmic
 * one its log10, or log_floor when it is zero or negative (not-a-number
 * stays not-a-number). */
static inline double vorda_axis_value(double v, int is_log, double log_floor) {
  if (!is_log) return v;
  return v <= 0.0 ? log_floor : log10(v);
}

/* One axis: device = scale * axis value + offset; end0, end1 are the axis
 * values of the two model ends. */
typedef struct VordaAxis {
  double scale;
  double offset;
  double end0;
  double end1;
} VordaAxis;

/* The axis of MSSetXForm that puts model0 on device0 and model1 on
 * device1. Returns 0, with *out untouched, when the axis is logarithmic
 * and an end is zero or below. */
static inline int vorda_map_axis(int32_t device0, int32_t device1, double model0, double model1,
                                 int is_log, VordaAxis* out) {
  double end0 = model0, end1 = model1, scale;
  if (is_log) {
    if (model0 <= 0.0 || model1 <= 0.0) return 0;
    end0 = log10(model0);
    end1 = log10(model1);
  }
  scale = (double)((int64_t)device0 - device1) / (end0 - end1);
  out->scale = scale;
  out->offset = device0 - scale * end0;
  out->end0 = end0;
  out->end1 = end1;
  return 1;
}

/* An axis value's device coordinate, before truncation and clamping. */
static inline double vorda_axis_to_device(const VordaAxis* axis, double axis_value) {
  return axis->scale * axis_value + axis->offset;
}

/* The whole mapping a successful MSSetXForm leaves. */
typedef struct VordaMapping {
  VordaAxis x;
  VordaAxis y;
  int x_is_log;
  int y_is_log;
  double log_floor;
} VordaMapping;

/* The mapping of MSSetXForm(host, clip, x type, y type, device_left,
 * device_right, device_top, device_bottom, model_left, model_right,
 * model_top, model_bottom) with x_is_log and y_is_log for "LOG10"; 0 where
 * MSSetXForm refuses the range. */
static inline int vorda_make_mapping(int x_is_log, int y_is_log, int32_t device_left,
                                     int32_t device_right, int32_t device_top,
                                     int32_t device_bottom, double model_left,
                                     double model_right, double model_top, double model_bottom,
                                     VordaMapping* out) {
  VordaMapping m;
  if (!vorda_map_axis(device_left, device_right, model_left, model_right, x_is_log, &m.x) ||
      !vorda_map_axis(device_top, device_bottom, model_top, model_bottom, y_is_log, &m.y))
    return 0;
  m.x_is_log = x_is_log != 0;
  m.y_is_log = y_is_log != 0;
  m.log_floor = vorda_log_floor(m.y.end0, m.y.end1);
  *out = m;
  return 1;
}

/* The device pixel MSPolyLine gives a model point of a "LINE_STRIP"; 0
 * (pixel untouched) when the point breaks the line instead. */
static inline int vorda_map_point(const VordaMapping* m, double x, double y, int32_t* device_x,
                                  int32_t* device_y) {
  double ax = vorda_axis_value(x, m->x_is_log, m->log_floor);
  double ay = vorda_axis_value(y, m->y_is_log, m->log_floor);
  if (vorda_is_missing(ax) || vorda_is_missing(ay)) return 0;
  *device_x = vorda_clamp_to_device(vorda_axis_to_device(&m->x, ax));
  *device_y = vorda_clamp_to_device(vorda_axis_to_device(&m->y, ay));
  return 1;
}

/* ---- Sample times of the time-series drivers ---- */

/* The blocks _CDrawYTTrace and _CDrawYTBars cut a burst into, each with its
 * time origin. A block holds at most VORDA_MAX_BLOCK_SAMPLES samples; the
 * next origin is (double)count * sample_inc + origin, and where blocks
 * share a sample (traces do, so the line stays joined; bars do not) the
 * next block starts again at the last sample and its origin steps back by
 * one increment. A shared sample is thus drawn twice, at the time each of
 * its blocks gives it, and the two may differ in the last bit. */
typedef struct VordaBlockWalk {
  int64_t next_scan;
  int64_t last_scan;
  double origin;
  double sample_inc;
  int share_sample;
} VordaBlockWalk;

typedef struct VordaBlock {
  int32_t first_scan;
  int32_t count;
  double origin; /* the time of the block's first sample */
} VordaBlock;

/* A burst of scans first_scan..last_scan (none when last precedes first),
 * its "BurstBase" as origin and the channel's "SampleInc"; share_sample 1
 * for _CDrawYTTrace (and _CDrawXYTrace's scans), 0 for _CDrawYTBars. */
static inline void vorda_block_walk_start(VordaBlockWalk* w, int32_t first_scan,
                                          int32_t last_scan, double origin, double sample_inc,
                                          int share_sample) {
  w->next_scan = first_scan;
  w->last_scan = last_scan;
  w->origin = origin;
  w->sample_inc = sample_inc;
  w->share_sample = share_sample != 0;
}

/* The next block in *b; 0 when the burst is done. */
static inline int vorda_block_walk_next(VordaBlockWalk* w, VordaBlock* b) {
  int64_t left, n;
  if (w->next_scan > w->last_scan) return 0;
  left = w->last_scan - w->next_scan + 1;
  n = left < VORDA_MAX_BLOCK_SAMPLES ? left : VORDA_MAX_BLOCK_SAMPLES;
  b->first_scan = (int32_t)w->next_scan;
  b->count = (int32_t)n;
  b->origin = w->origin;
  w->next_scan += n;
  w->origin = (double)n * w->sample_inc + w->origin;
  if (left > n && w->share_sample) {
    w->next_scan -= 1;
    w->origin = w->origin - w->sample_inc;
  }
  return 1;
}

/* The time t of sample k (from 0) of a block: the x of its point in a
 * trace's block; in a bar block its bar spans t - sample_inc * 0.5 to
 * t + sample_inc * 0.5. */
static inline double vorda_sample_time(int32_t k, double sample_inc, double block_origin) {
  return (double)k * sample_inc + block_origin;
}

#ifdef __cplusplus
}
#endif

#endif

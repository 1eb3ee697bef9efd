/* The data a host exchanges with vorda: the value that marks a missing
 * sample, the layout of the arrays the drawing operations take and the
 * trace drivers produce, and the limits of what one call hands the
 * platform. Plain C without any platform header, so hosts, tools and
 * vorda's own portable code can all take the values from here. */
#ifndef VORDA_DATA_H
#define VORDA_DATA_H

/* A sample value that breaks a "LINE_STRIP" like a not-a-number coordinate. */
#define VORDA_MISSING_SAMPLE 99999999999.9

/* Device coordinates are clamped into 0..VORDA_MAX_DEVICE_COORDINATE. */
#define VORDA_MAX_DEVICE_COORDINATE 16383

/* MSPolyLine hands a "LINE_STRIP" to the platform in runs of at most this
 * many points, each run starting with the last point of the one before. */
#define VORDA_MAX_STRIP_POINTS 16000

/* The trace drivers read and draw at most this many samples a block. */
#define VORDA_MAX_BLOCK_SAMPLES 100000

/* Doubles a drawing object's "Data" holds per sample: one x, y point for a
 * trace, the five points of a closed bar outline for bars. */
#define VORDA_TRACE_DOUBLES_PER_SAMPLE 2
#define VORDA_BAR_DOUBLES_PER_SAMPLE 10

/* A record of MSPolyPointsEx: nine doubles, in this order. Shape 1 is a
 * circle, 2 a square; any other code draws nothing. */
#define VORDA_MARKER_RECORD_DOUBLES 9
enum VordaMarkerField {
  VORDA_MARKER_X1 = 0,
  VORDA_MARKER_X2 = 1,
  VORDA_MARKER_Y1 = 2,
  VORDA_MARKER_Y2 = 3,
  VORDA_MARKER_SIZE_FACTOR = 4,
  VORDA_MARKER_RED = 5,
  VORDA_MARKER_GREEN = 6,
  VORDA_MARKER_BLUE = 7,
  VORDA_MARKER_SHAPE = 8
};

/* MSCrossHair takes two segments of two points (eight doubles); each bar
 * it inverts is remembered in a slot of four ints (left, top, right,
 * bottom) of the host's slot array, which is free when its first int is
 * VORDA_FREE_SLOT. */
#define VORDA_CROSSHAIR_DOUBLES 8
#define VORDA_CROSSHAIR_SLOT_INTS 4
#define VORDA_FREE_SLOT (-1)

/* GLNewFont builds this many consecutive display lists, one per 8-bit code. */
#define VORDA_FONT_LIST_COUNT 256

#endif

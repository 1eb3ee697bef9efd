/* vorda: plotting primitives for the tarn data-acquisition host.
 *
 * Every operation is a plain C function with the C calling convention.
 * Operations that draw return 1 on success; on failure they report a message
 * to the host object given as first argument (through tarnapi) and return
 * what the host's error call returned ("the error result"), or 0 where noted.
 * Keywords are compared whole and case-sensitively. Each export's manual page is
 * named beside it, in docs/reference/; the ideas behind them: docs/concepts.md. */
#ifndef VORDA_H
#define VORDA_H

#include <windows.h>

#include "vorda_data.h"

#ifdef __cplusplus
extern "C" {
#endif

#ifdef VORDA_BUILDING_DLL
#define VORDA_API __cdecl
#else
#define VORDA_API __declspec(dllimport) __cdecl
#endif

/* An opaque host object handle; vorda never looks inside it. */
typedef unsigned int HostObject;

/* Drawing state and world transform: docs/reference/drawing-state.md. */
/* Makes Dc the device context every MS export draws on; not checked, never released.
 * 1, or the error result (drawing-state.md). */
int VORDA_API MSEnable(HostObject Host, HDC Dc);
/* Removes the current device context's clip region. Always 1 (drawing-state.md). */
int VORDA_API MSDisable(HostObject Host);
/* Maps the model rectangle corner to corner onto the device one; axis type "LOG10" or
 * linear (any other); Clip nonzero clips to it. 1, or the error result (drawing-state.md). */
int VORDA_API MSSetXForm(HostObject Host, int Clip, const char* XAxisType, const char* YAxisType,
                         int DeviceLeft, int DeviceRight, int DeviceTop, int DeviceBottom,
                         double ModelLeft, double ModelRight, double ModelTop, double ModelBottom);

/* Pens and polylines: docs/reference/pens-and-polylines.md. */
/* Writes a new pen, the host's to delete, into *Pen: Style "SOLID" "DASH" "DOT" "DASHDOT"
 * "DASHDOTDOT", Width in pixels, colour 0..1. 1, or the error result (pens-and-polylines.md). */
int VORDA_API MSNewPen(HostObject Host, HPEN* Pen, const char* Style, int Width, double Red,
                       double Green, double Blue);
/* Draws x,y-interleaved points (DataSize in doubles): "LINE_STRIP" broken at NaN and missing
 * samples, or "LINES" segments. 1, or the error result (pens-and-polylines.md). */
int VORDA_API MSPolyLine(HostObject Host, HPEN* Pen, const char* Type, const double* Data,
                         unsigned DataSize);

/* Fonts and text: docs/reference/fonts-and-text.md. */
/* Writes a new font into *FontOut: Orientation "HORIZONTAL" "+VERTICAL" "-VERTICAL"
 * "UPSIDEDOWN", Weight "LIGHT" "NORMAL" "HEAVY". 1, or the error result (fonts-and-text.md). */
int VORDA_API MSNewFont(HostObject Host, HFONT* FontOut, const char* FaceName, int PointSize,
                        const char* Orientation, const char* Weight, int Italic, int Underline,
                        int StrikeOut);
/* Measures Text in pixels, width and height exchanged for the vertical orientations.
 * 1, or the error result (fonts-and-text.md). */
int VORDA_API MSGetTextExtents(HostObject Host, HFONT* Font, const char* Text,
                               const char* Orientation, int* WidthOut, int* HeightOut);
/* Draws Text at model (X, Y): HorzAlign "CENTER" "RIGHT" (else left), VertAlign "CENTER" or
 * "BOTTOM"; paints a clip region white first. 1, or the error result (fonts-and-text.md). */
int VORDA_API MSText(HostObject Host, HFONT* Font, const char* Text, double X, double Y,
                     const char* Orientation, const char* HorzAlign, const char* VertAlign,
                     double Red, double Green, double Blue);

/* Point markers: docs/reference/markers.md. */
/* Draws a filled square MarkerSize pixels across on each x,y-interleaved point, in one
 * colour. 1, or the error result (markers.md). */
int VORDA_API MSPolyPoints(HostObject Host, const double* Data, unsigned DataSize, int MarkerSize,
                           double Red, double Green, double Blue);
/* Draws a marker per record of 9 doubles: box x1 x2 y1 y2, size factor, r g b, shape (1
 * circle, 2 square). 1, or the error result (markers.md). */
int VORDA_API MSPolyPointsEx(HostObject Host, const double* Records, unsigned DataSize);

/* Crosshair cursors: docs/reference/crosshairs.md. */
/* Inverts two bars given by 8 doubles and remembers them in the host's slots (4 ints each,
 * -1 free). 1, or the error result (crosshairs.md). */
int VORDA_API MSCrossHair(HostObject Host, const double* Points, int Count, int* Slots,
                          unsigned SlotCount);
/* Unclips, inverts each remembered bar back and frees its slot. 1, or the error result
 * (crosshairs.md). */
int VORDA_API MSEraseCrossHairs(HostObject Host, int* Slots, unsigned SlotCount);

/* Output surfaces and pictures: docs/reference/surfaces.md, pictures.md. */
/* A memory device context with a white bitmap, sized in inches (both nonzero; pixels
 * written back) or in pixels. Null after a report (surfaces.md). */
HDC VORDA_API MSCreateBitmapDC(HostObject Host, const double* WidthInches,
                               const double* HeightInches, int* WidthPixels, int* HeightPixels);
/* Writes the surface's bitmap to a BMP file, then destroys the surface. 1, or the error
 * result, the surface then kept when it is 0 (surfaces.md). */
int VORDA_API MSSaveBitmapFile(HostObject Host, HDC Dc, const char* FileName);
/* Starts an enhanced-metafile recording; *Width, *Height go in as inches and come back
 * as pixels. Null when it cannot; reports nothing (surfaces.md). */
HDC VORDA_API MSCreateMetaFileDC(HostObject Host, const char* FileName, double* Width,
                                 double* Height);
/* Ends the recording, completing the file. Nonzero, or 0 on failure; reports nothing
 * (surfaces.md). */
int VORDA_API MSSaveMetaFile(HostObject Host, HDC Dc);
/* Draws a picture file at its natural size at the top left. 1, or the error result
 * (pictures.md). */
int VORDA_API MSLoadPictureFile(HostObject Host, const char* FileName);
/* Draws a picture's bytes fitted, aspect kept and centred, into the transform's model unit
 * square. 1, or the error result (pictures.md). */
int VORDA_API MSLoadPicture(HostObject Host, const void* Bytes, unsigned Count);

/* OpenGL back end: docs/reference/opengl.md. */
/* Makes the rendering context current with a window's Dc in pixels, y up, clearing a new Dc
 * white. 1, or 0 after reporting a GL error (opengl.md). */
int VORDA_API GLEnable(HostObject Host, HDC Dc, unsigned DeviceLeft, unsigned DeviceRight,
                       unsigned DeviceTop, unsigned DeviceBottom);
/* Does nothing. Always 1 (opengl.md). */
int VORDA_API GLDisable(void);
/* Linear model-to-pixel transform; Clip nonzero scissors to the device rectangle. 1, or 0
 * after reporting a GL error (opengl.md). */
int VORDA_API GLSetXForm(HostObject Host, int Clip, int DeviceLeft, int DeviceRight, int DeviceTop,
                         int DeviceBottom, double ModelLeft, double ModelRight, double ModelTop,
                         double ModelBottom);
/* Draws Count / 2 float vertices as one line strip. 1, or 0 after reporting a GL error
 * (opengl.md). */
int VORDA_API GLPolyLine(HostObject Host, const float* Points, unsigned Count, int Unused,
                         double Width, double Red, double Green, double Blue);
/* A bitmap font as 256 display lists, after GLEnable: the first list, or 0; reports nothing
 * (opengl.md). */
int VORDA_API GLNewFont(const char* FaceName, int Height, int Unused);
/* Draws Text in a GLNewFont font from the model point (50, 50). 1, or 0; reports nothing
 * (opengl.md). */
int VORDA_API GLText(int ListBase, const char* Text, double Red, double Green, double Blue);

/* Trace drivers: docs/reference/trace-drivers.md. */
/* Streams two channels in blocks of at most 100000 samples into DrawObject's "Data" and
 * "DataSize" (x,y pairs), calling its "Draw". 1; 0 after a report or a stop (trace-drivers.md). */
int VORDA_API _CDrawXYTrace(HostObject Host, HostObject DrawObject, HostObject XChannel,
                            HostObject YChannel, int XDimension, int YDimension);
/* The same for one channel against its time base (time, value pairs). 1; 0 after a report
 * or a stop (trace-drivers.md). */
int VORDA_API _CDrawYTTrace(HostObject Host, HostObject DrawObject, HostObject Channel,
                            int Dimension);
/* The same as bars: five points a sample, the outline of a bar from 0. 1; 0 after a report
 * or a stop (trace-drivers.md). */
int VORDA_API _CDrawYTBars(HostObject Host, HostObject DrawObject, HostObject Channel,
                           int Dimension);

#ifdef __cplusplus
}
#endif

#endif

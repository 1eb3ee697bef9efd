/* vorda: plotting primitives for the tarn data-acquisition host.
 *
 * Every operation is a plain C function with the C calling convention.
 * Operations that draw return 1 on success; on failure they report a message
 * to the host object given as first argument (through tarnapi) and return
 * what the host's error call returned, or 0 where noted. */
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

/* Drawing state and world transform. */
int VORDA_API MSEnable(HostObject Host, HDC Dc);
int VORDA_API MSDisable(HostObject Host);
int VORDA_API MSSetXForm(HostObject Host, int Clip, const char* XAxisType, const char* YAxisType,
                         int DeviceLeft, int DeviceRight, int DeviceTop, int DeviceBottom,
                         double ModelLeft, double ModelRight, double ModelTop, double ModelBottom);

/* Pens and polylines. */
int VORDA_API MSNewPen(HostObject Host, HPEN* Pen, const char* Style, int Width, double Red,
                       double Green, double Blue);
int VORDA_API MSPolyLine(HostObject Host, HPEN* Pen, const char* Type, const double* Data,
                         unsigned DataSize);

/* Fonts and text. */
int VORDA_API MSNewFont(HostObject Host, HFONT* FontOut, const char* FaceName, int PointSize,
                        const char* Orientation, const char* Weight, int Italic, int Underline,
                        int StrikeOut);
int VORDA_API MSGetTextExtents(HostObject Host, HFONT* Font, const char* Text,
                               const char* Orientation, int* WidthOut, int* HeightOut);
int VORDA_API MSText(HostObject Host, HFONT* Font, const char* Text, double X, double Y,
                     const char* Orientation, const char* HorzAlign, const char* VertAlign,
                     double Red, double Green, double Blue);

/* Point markers. */
int VORDA_API MSPolyPoints(HostObject Host, const double* Data, unsigned DataSize, int MarkerSize,
                           double Red, double Green, double Blue);
int VORDA_API MSPolyPointsEx(HostObject Host, const double* Records, unsigned DataSize);

/* Crosshair cursors. */
int VORDA_API MSCrossHair(HostObject Host, const double* Points, int Count, int* Slots,
                          unsigned SlotCount);
int VORDA_API MSEraseCrossHairs(HostObject Host, int* Slots, unsigned SlotCount);

/* Output surfaces and pictures. */
HDC VORDA_API MSCreateBitmapDC(HostObject Host, const double* WidthInches,
                               const double* HeightInches, int* WidthPixels, int* HeightPixels);
int VORDA_API MSSaveBitmapFile(HostObject Host, HDC Dc, const char* FileName);
HDC VORDA_API MSCreateMetaFileDC(HostObject Host, const char* FileName, double* Width,
                                 double* Height);
int VORDA_API MSSaveMetaFile(HostObject Host, HDC Dc);
int VORDA_API MSLoadPictureFile(HostObject Host, const char* FileName);
int VORDA_API MSLoadPicture(HostObject Host, const void* Bytes, unsigned Count);

/* OpenGL back end. */
int VORDA_API GLEnable(HostObject Host, HDC Dc, unsigned DeviceLeft, unsigned DeviceRight,
                       unsigned DeviceTop, unsigned DeviceBottom);
int VORDA_API GLDisable(void);
int VORDA_API GLSetXForm(HostObject Host, int Clip, int DeviceLeft, int DeviceRight, int DeviceTop,
                         int DeviceBottom, double ModelLeft, double ModelRight, double ModelTop,
                         double ModelBottom);
int VORDA_API GLPolyLine(HostObject Host, const float* Points, unsigned Count, int Unused,
                         double Width, double Red, double Green, double Blue);
int VORDA_API GLNewFont(const char* FaceName, int Height, int Unused);
int VORDA_API GLText(int ListBase, const char* Text, double Red, double Green, double Blue);

/* Trace drivers. */
int VORDA_API _CDrawXYTrace(HostObject Host, HostObject DrawObject, HostObject XChannel,
                            HostObject YChannel, int XDimension, int YDimension);
int VORDA_API _CDrawYTTrace(HostObject Host, HostObject DrawObject, HostObject Channel,
                            int Dimension);
int VORDA_API _CDrawYTBars(HostObject Host, HostObject DrawObject, HostObject Channel,
                           int Dimension);

#ifdef __cplusplus
}
#endif

#endif

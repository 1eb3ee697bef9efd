// Every message vorda hands to its host, in one place. Hosts and their
// scripts match these texts, and the step numbers inside the numbered
// ones, to tell what failed: a text or a number, once shipped, stays as it
// is, odd spacing and the operation it names included.
//
// An entry is named after the operation its text names and the step that
// failed, one entry a line, so that a search for a text a host reports
// finds its name. Several texts name another operation than the one that
// raises them; the note at each group says which exports use it.
#pragma once

namespace vorda {

// A message formatted before it is reported, with one int: a step number
// or the system's last-error code.
struct FormattedMessage {
  const char* format;
};

// MSEnable.
inline constexpr char kEnableCreateSolidBrushFailed[] = "In MSEnable. CreateSolidBrush failed.";

// MSSetXForm.
inline constexpr char kSetXFormLogXNotPositive[] = "In MSSetXForm. ModelLeft and ModelRight must be positive for log scale.";
inline constexpr char kSetXFormLogYNotPositive[] = "In MSSetXForm. ModelTop and ModelBottom must be positive for log scale.";
inline constexpr char kSetXFormCreateRectRgnFailed[] = "In MSSetXForm. CreateRectRgn failed.";
inline constexpr char kSetXFormSetRectRgnFailed[] = "In MSSetXForm. SetRectRgn failed.";
inline constexpr char kSetXFormSelectClipRgnFailed[] = "In MSSetXForm. SelectClipRgn failed.";

// MSPolyLine. MSNewPen raises the pen style and CreatePen messages, and
// MSPolyPoints the Rectangle, SelectObject and DeleteObject ones.
inline constexpr char kPolyLinePenStyleNotRecognized[] = "In MSPolyLine. Pen style not recognized.";
inline constexpr char kPolyLineCreatePenFailed[] = "In MSPolyLine. CreatePen failed.";
inline constexpr char kPolyLineCopyFailed[] = "In MSPolyLine. malloc or memcpy failed.";
inline constexpr char kPolyLineSelectObjectFailed[] = "In MSPolyLine. SelectObject failed.";
inline constexpr char kPolyLineInvalidSize[] = "In MSPolyLine. Invalid size.";
inline constexpr char kPolyLineTypeNotRecognized[] = "In MSPolyLine. Type not recognized.";
inline constexpr char kPolyLinePolylineFailed[] = "In MSPolyLine. Polyline failed.";
inline constexpr char kPolyLineMoveToLineToFailed[] = "In MSPolyLine. MoveTo and LineTo failed.";
inline constexpr char kPolyLineRectangleFailed[] = "In MSPolyLine. Rectangle failed.";
inline constexpr char kPolyLineDeleteObjectFailed[] = "In MSPolyLine. DeleteObject failed.";

// MSNewFont.
inline constexpr char kNewFontOrientationNotRecognized[] = "Font orientation not recognized.";
inline constexpr char kNewFontWeightNotRecognized[] = "Font weight not recognized.";
inline constexpr char kNewFontCreateFontFailed[] = "Unable to create font, CreateFont failed.";

// MSGetTextExtents, and MSText through it.
inline constexpr char kGetTextExtentSelectObjectFailed[] = "In MSGetTextExtent. SelectObject failed.";
inline constexpr char kGetTextExtentMeasureFailed[] = "In MSGetTextExtent. GetTextExtentPoint32 failed.";
inline constexpr char kGetTextExtentOrientationNotRecognized[] = "In MSGetTextExtent. Font orientation not recognized.";

// MSText.
inline constexpr char kTextSelectObjectFailed[] = "In MSText. SelectObject failed.";
inline constexpr char kTextSetTextAlignFailed[] = "In MSText. SetTextAlign failed.";
inline constexpr char kTextSetTextColorFailed[] = "In MSText. SetTextColor failed.";
inline constexpr char kTextMeasureFailed[] = "In MSText. MSGetTextExtent failed.";
inline constexpr char kTextAlignmentNotRecognized[] = "In MSText. Orientation and/or alignment not recognized.";
inline constexpr char kTextCreateRectRgnFailed[] = "In MSText. CreateRectRgn failed.";
inline constexpr char kTextFillRgnFailed[] = "In MSText. FillRgn failed.";
inline constexpr char kTextTextOutFailed[] = "In MSText. TextOut failed.";

// MSPolyPoints; its drawing and release steps use MSPolyLine's messages.
inline constexpr char kPolyPointsCreatePenFailed[] = "In MSPolyPoints. CreatePen failed.";
inline constexpr char kPolyPointsSelectObjectFailed[] = "In MSPolyPoints. SelectObject failed.";
inline constexpr char kPolyPointsCreateSolidBrushFailed[] = "In MSPolyPoints. CreateSolidBrush failed.";

// MSPolyPointsEx.
inline constexpr char kPolyPointsExCreatePenFailed[] = "In MSPolyPointsEx. CreatePen failed.";
inline constexpr char kPolyPointsExSelectObjectFailed[] = "In MSPolyPointsEx. SelectObject failed.";
inline constexpr char kPolyPointsExCreateSolidBrushFailed[] = "In MSPolyPointsEx. CreateSolidBrush failed.";
inline constexpr char kPolyPointsExEllipseFailed[] = "In MSPolyPointsEx. Ellipse failed.";
inline constexpr char kPolyPointsExRectangleFailed[] = "In MSPolyPointsEx. Rectangle failed.";
inline constexpr char kPolyPointsExDeleteObjectFailed[] = "In MSPolyPointsEx. DeleteObject failed.";

// MSCrossHair. Both marker operations raise the copy message.
inline constexpr char kCrossHairInvalidSize[] = "In MSCrossHair. Invalid size.";
inline constexpr char kCrossHairInvertRectFailed[] = "In MSCrossHair. InvertRect failed.";
inline constexpr char kCrossHairCopyFailed[] = "In MSCrossHair. malloc or memcpy failed.";

// MSEraseCrossHairs.
inline constexpr char kEraseCrossHairsInvalidSize[] = "In MSEraseCrossHairs. Invalid size.";
inline constexpr char kEraseCrossHairsInvertRectFailed[] = "In MSEraseCrossHairs. InvertRect failed.";

// MSCreateBitmapDC and MSSaveBitmapFile: the number is the system's
// last-error code at the failure.
inline constexpr FormattedMessage kCreateCompatibleDcFailed{"CreateCompatibleDC failed error code %d\n"};
inline constexpr FormattedMessage kCreateCompatibleBitmapFailed{"CreateCompatibleBitmap failed error code %d\n"};
inline constexpr FormattedMessage kSelectBitmapFailed{"SelectObject failed error code %d\n"};
inline constexpr FormattedMessage kBitBltFailed{"BitBlt failed error code %d\n"};
inline constexpr FormattedMessage kGetCurrentObjectFailed{"GetCurrentObject failed error code %d\n"};
inline constexpr char kSaveBitmapTooFewColours[] = "Your monitor must be set to display to at least 16 bit color.";

// The numbered steps below are the step codes a host sees in the message
// and keys on to tell which step failed: each step keeps its number even
// where the steps around it change.

// CreateBMPFile, the BMP writer of MSSaveBitmapFile.
inline constexpr FormattedMessage kCreateBmpFileLine{"Error in CreateBMPFile line %d\n"};
enum class BmpFileStep : int {
  // No pixel buffer, or pixel rows too large for a 32-bit size; also
  // MSSaveBitmapFile's failure to allocate the header block.
  kAllocatePixels = 148,
  // No scan line fetched, or the fetch asked for more room than was made.
  kFetchPixels = 155,
  kCreateFile = 164,       // or no file name
  kWriteFileHeader = 179,  // or a file too large for 32-bit sizes
  kWriteInfoHeader = 185,
  kWritePixels = 193,
  kCloseFile = 199,
};

// MSLoadPictureFile.
inline constexpr FormattedMessage kLoadPictureFileLine{"Error in LoadPictureFile line %d\n"};
enum class PictureFileStep : int {
  kOpen = 674,  // or no file name
  // The size unknown, or too large for the loader's signed 32-bit count.
  kSize = 682,
  kAllocate = 690,
  kLock = 696,
  kRead = 704,  // a short read included
  kStream = 714,
  kLoad = 721,
};

// MSLoadPicture; bytes that hold no picture get kNotAPictureChannel.
inline constexpr FormattedMessage kLoadPictureLine{"Error in MSLoadPicture line %d\n"};
enum class PictureBytesStep : int { kAllocate = 753, kLock = 759, kStream = 772 };
// It carries no number, but goes through the message buffer like the
// numbered messages of the same operation.
inline constexpr FormattedMessage kNotAPictureChannel{"This Message channel is not a valid picture channel.\n"};

// _CDrawXYTrace.
inline constexpr char kXYTraceNumDimsFailed[] = "In _CDrawXYTrace. Failed to get NumDims.";
inline constexpr char kXYTraceSanityChecksFailed[] = "In _CDrawXYTrace. Sanity checks failed.";
inline constexpr char kXYTraceMallocFailed[] = "In _CDrawXYTrace. malloc failed.";
inline constexpr char kXYTraceNumBurstsFailed[] = "In _CDrawXYTrace.  Failed to determine NumBursts.";
inline constexpr char kXYTraceBurstFailed[] = "In _CDrawXYTrace.  Failed to get BurstAbsStart etc.";
inline constexpr char kXYTraceBurstsMisaligned[] = "In _CDrawXYTrace.  Bursts do not begin at same location.";
inline constexpr char kXYTraceSeekFailed[] = "In _CDrawXYTrace. tarnChannelDataSeek failed.";
inline constexpr char kXYTraceReadFailed[] = "In _CDrawXYTrace. tarnChannelGetDataDouble failed.";

// _CDrawYTTrace and _CDrawYTBars both raise these.
inline constexpr char kXTTraceNumDimsFailed[] = "In _CDrawXTTrace. Failed to get NumDims or SampleInc.";
inline constexpr char kXTTraceSanityChecksFailed[] = "In _CDrawXTTrace. Sanity checks failed.";
inline constexpr char kXTTraceMallocFailed[] = "In _CDrawXTTrace. malloc failed.";
inline constexpr char kXTTraceNumBurstsFailed[] = "In _CDrawXTTrace.  Failed to determine NumBursts.";
inline constexpr char kXTTraceBurstFailed[] = "In _CDrawXTTrace.  Failed to get BurstBase etc.";
inline constexpr char kXTTraceSeekFailed[] = "In _CDrawXTTrace. tarnChannelDataSeek failed.";
inline constexpr char kXTTraceReadFailed[] = "In _CDrawXTTrace. tarnChannelGetDataDouble failed.";

// All three trace drivers: the drawing object refused the block.
inline constexpr char kTraceDrawFailed[] = "Draw failed.";

// The OpenGL exports report GLU's text for a GL error; this one when GLU
// has none for the code.
inline constexpr char kUnknownGlError[] = "unknown OpenGL error";

}  // namespace vorda

#include "gdi/text_layout.h"

#include <cstring>

#include "gdi/keywords.h"

namespace vorda {

namespace {

// -900 rather than the same turn as 2700: the font belongs to the host,
// which can read the escapement back from it and sees this very value.
const KeywordEntry<FontOrientation> kOrientations[] = {
    {"HORIZONTAL", {0, ExtentClass::Horizontal}},
    {"+VERTICAL", {900, ExtentClass::Vertical}},
    {"-VERTICAL", {-900, ExtentClass::Vertical}},
    {"UPSIDEDOWN", {1800, ExtentClass::Horizontal}},
};

// "LIGHT" is 100 (thin), not 300.
const KeywordEntry<int32_t> kWeights[] = {
    {"LIGHT", 100},
    {"NORMAL", 400},
    {"HEAVY", 900},
};

}  // namespace

bool FindOrientation(const char* keyword, FontOrientation* out) {
  return FindKeyword(kOrientations, keyword, out);
}

bool FindFontWeight(const char* keyword, int32_t* out) {
  return FindKeyword(kWeights, keyword, out);
}

int32_t TextByteLength(const char* text) {
  if (!text) return 0;
  size_t n = std::strlen(text);
  return n > INT32_MAX ? INT32_MAX : static_cast<int32_t>(n);
}

double AlignHorizontally(double x, int32_t width, const char* horzAlign) {
  if (IsKeyword(horzAlign, "CENTER")) return x - static_cast<double>(width / 2);
  if (IsKeyword(horzAlign, "RIGHT")) return x - static_cast<double>(width);
  return x;
}

bool AlignVertically(double y, int32_t height, const char* vertAlign, const char* orientation,
                     double* out) {
  FontOrientation o;
  if (!FindOrientation(orientation, &o)) return false;
  double shift;
  if (IsKeyword(vertAlign, "CENTER"))
    shift = static_cast<double>(height / 2);
  else if (IsKeyword(vertAlign, "BOTTOM"))
    shift = static_cast<double>(height);
  else
    return false;
  *out = o.extent == ExtentClass::Vertical ? y + shift : y - shift;
  return true;
}

}  // namespace vorda

// The text alignment: only the exact keywords move the reference point
// (wrong case and trailing blanks leave it, or are refused where the
// vertical alignment must be known); the shifts are half or all of the
// extent; extents are exchanged for vertical text only;
// the byte length reads no further than the terminating zero (strings are
// exact-size heap blocks); the font height never overflows.
#include <string>

#include "fuzz_input.h"
#include "gdi/text_layout.h"

namespace {

const char* const kWords[] = {"HORIZONTAL", "+VERTICAL", "-VERTICAL", "UPSIDEDOWN", "CENTER",
                              "RIGHT",      "BOTTOM",    "LEFT",      "TOP",        "LIGHT",
                              "NORMAL",     "HEAVY"};

// A keyword, a damaged keyword or bytes: damaged ones in lower case, with
// a trailing blank, cut short or with a byte changed.
std::string Word(vorda_fuzz::Input& in) {
  std::string w = kWords[in.U8() % (sizeof kWords / sizeof *kWords)];
  switch (in.U8() % 6) {
    case 0: for (char& c : w) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c))); break;
    case 1: w += ' '; break;
    case 2: w.resize(in.U8() % (w.size() + 1)); break;
    case 3: if (!w.empty()) w[in.U8() % w.size()] = static_cast<char>(in.U8()); break;
    default: break;
  }
  return w;
}

// An exact-size heap copy: a read past the zero is outside the block.
char* Exact(const std::string& s) {
  char* p = new char[s.size() + 1];
  std::memcpy(p, s.c_str(), s.size() + 1);
  return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  vorda_fuzz::Input in(bytes, size);
  std::string horz = Word(in), vert = Word(in), orient = Word(in);
  bool nullHorz = in.U8() % 8 == 0, nullVert = in.U8() % 8 == 0, nullOrient = in.U8() % 8 == 0;
  char* h = nullHorz ? nullptr : Exact(horz);
  char* v = nullVert ? nullptr : Exact(vert);
  char* o = nullOrient ? nullptr : Exact(orient);
  double x = in.Double(), y = in.Double();
  int32_t width = in.I32(), height = in.I32();

  double ax = vorda::AlignHorizontally(x, width, h);
  double wantX = x;
  if (h && horz == "CENTER") wantX = x - static_cast<double>(width / 2);
  if (h && horz == "RIGHT") wantX = x - static_cast<double>(width);
  FUZZ_CHECK((std::isnan(ax) && std::isnan(wantX)) || ax == wantX, "'%s' moved %g to %g",
             horz.c_str(), x, ax);

  vorda::FontOrientation fo{};
  bool knownOrientation = vorda::FindOrientation(o, &fo);
  bool exactOrientation = o && (orient == "HORIZONTAL" || orient == "+VERTICAL" ||
                                orient == "-VERTICAL" || orient == "UPSIDEDOWN");
  FUZZ_CHECK(knownOrientation == exactOrientation, "orientation '%s' found %d", orient.c_str(),
             knownOrientation);
  if (knownOrientation) {
    bool vertical = orient == "+VERTICAL" || orient == "-VERTICAL";
    FUZZ_CHECK((fo.extent == vorda::ExtentClass::Vertical) == vertical, "extent class of '%s'",
               orient.c_str());
    int32_t w = 0, hh = 0;
    vorda::OrientExtents(fo.extent, width, height, &w, &hh);
    FUZZ_CHECK(vertical ? (w == height && hh == width) : (w == width && hh == height),
               "extents of '%s'", orient.c_str());
  }
  double ay = 12345.0;
  bool aligned = vorda::AlignVertically(y, height, v, o, &ay);
  bool exactVert = v && (vert == "CENTER" || vert == "BOTTOM");
  FUZZ_CHECK(aligned == (exactVert && knownOrientation), "'%s'/'%s' aligned %d", vert.c_str(),
             orient.c_str(), aligned);
  if (!aligned) FUZZ_CHECK(ay == 12345.0, "a refused alignment wrote its result");

  int32_t weight = 0;
  bool knownWeight = vorda::FindFontWeight(o, &weight);
  FUZZ_CHECK(knownWeight == (o && (orient == "LIGHT" || orient == "NORMAL" || orient == "HEAVY")),
             "weight '%s'", orient.c_str());

  std::string text(in.U8() % 64, 'a');
  for (char& c : text) c = static_cast<char>(in.U8() | 1);  // no zero inside
  char* t = Exact(text);
  FUZZ_CHECK(vorda::TextByteLength(t) == static_cast<int32_t>(text.size()), "length of %zu",
             text.size());
  FUZZ_CHECK(vorda::TextByteLength(nullptr) == 0, "length of null");
  int32_t em = in.I32();
  int32_t fh = vorda::FontHeight(em);
  FUZZ_CHECK(em == INT32_MIN ? fh == INT32_MIN : fh == -em, "font height of %d is %d", em, fh);
  delete[] t;
  delete[] h;
  delete[] v;
  delete[] o;
  return 0;
}

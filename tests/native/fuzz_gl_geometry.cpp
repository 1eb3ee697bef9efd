// The OpenGL geometry: the viewport is the modular difference of the
// window edges, the scissor box holds both edges (clamped, never wrapped),
// the transform maps the model corners onto the device corners, and vertex
// and font-height arithmetic never overflows.
#include "fuzz_input.h"
#include "gl/gl_geometry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  vorda_fuzz::Input in(bytes, size);
  uint32_t l = in.U32(), r = in.U32(), t = in.U32(), b = in.U32();
  vorda::GlBox v = vorda::ViewportFor(l, r, t, b);
  FUZZ_CHECK(v.x == 0 && v.y == 0 && static_cast<uint32_t>(v.width) == r - l &&
                 static_cast<uint32_t>(v.height) == t - b,
             "viewport %d x %d", v.width, v.height);
  vorda::GlOrtho o = vorda::OrthoFor(l, r, t, b);
  FUZZ_CHECK(o.left == l && o.right == r && o.top == t && o.bottom == b, "ortho bounds");

  int32_t dl = in.I32(), dr = in.I32(), dt = in.I32(), db = in.I32();
  vorda::GlBox s = vorda::ScissorFor(dl, dr, dt, db);
  int64_t w = int64_t{dr} - dl + 1, h = int64_t{dt} - db + 1;
  auto clamp = [](int64_t x) { return x > INT32_MAX ? INT32_MAX : x < INT32_MIN ? INT32_MIN : x; };
  FUZZ_CHECK(s.x == dl && s.y == db && s.width == clamp(w) && s.height == clamp(h),
             "scissor %d,%d %dx%d", s.x, s.y, s.width, s.height);

  double ml = in.Double(), mr = in.Double(), mt = in.Double(), mb = in.Double();
  // A model range of no width divides by zero; IEEE gives an infinite
  // scale that the clamping copes with, which the sanitizer would flag.
  if (ml != mr && mt != mb) {
    vorda::WorldTransform x = vorda::GlTransformFor(dl, dr, dt, db, ml, mr, mt, mb);
    if (std::isfinite(ml) && std::isfinite(mr) && std::fabs(ml) < 1e6 && std::fabs(mr) < 1e6 &&
        std::fabs(mr - ml) > 1e-3) {
      double left = x.XScale * ml + x.XOffset, right = x.XScale * mr + x.XOffset;
      FUZZ_CHECK(std::fabs(left - dl) <= 1e-3 * (1 + std::fabs(static_cast<double>(dl)) + std::fabs(static_cast<double>(dr))),
                 "model left at %g, not %d", left, dl);
      FUZZ_CHECK(std::fabs(right - dr) <= 1e-3 * (1 + std::fabs(static_cast<double>(dl)) + std::fabs(static_cast<double>(dr))),
                 "model right at %g, not %d", right, dr);
    }
  }
  uint32_t count = in.U32();
  int32_t vertices = vorda::VertexCount(count);
  FUZZ_CHECK(vertices >= 0 && uint64_t(vertices) * 2 <= count, "%d vertices in %u floats",
             vertices, count);
  int32_t height = in.I32();
  int32_t fh = vorda::FontHeightFor(height);
  FUZZ_CHECK(height == INT32_MIN ? fh == INT32_MIN : fh == -height, "font height %d", fh);
  return 0;
}

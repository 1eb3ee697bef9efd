// The 14 C operations of tarnapi.dll, answered from the stand-in host.
#define TARN_API __declspec(dllexport) __cdecl
#include "tarnapi.h"

#include "tarn.h"

namespace {

tarn::Host& H() { return tarn::host(); }

// A scalar is addressed with index -1, an array element by its index.
template <typename T, typename Array>
bool ReadNumber(const tarn::Property* p, int index, T* out) {
  if (!p || !out) return false;
  if (index == -1) {
    if (const T* v = std::get_if<T>(p)) {
      *out = *v;
      return true;
    }
    return false;
  }
  const Array* a = std::get_if<Array>(p);
  if (!a || index < 0 || static_cast<size_t>(index) >= a->size()) return false;
  *out = (*a)[static_cast<size_t>(index)];
  return true;
}

}  // namespace

extern "C" {

int TARN_API tarnObjectError(HostObject obj, const char* message) {
  // The report itself cannot fail: the observer only sees it.
  H().Observe("tarnObjectError", obj, nullptr);
  return H().RecordError(obj, message);
}

int TARN_API tarnObjectGetObject(HostObject obj, const char* name, int, int, HostObject* out) {
  if (H().Observe("tarnObjectGetObject", obj, name).fail || !name || !out || !H().Exists(obj)) return 0;
  if (std::string(name) == "TARN") {
    *out = H().Root();
    return 1;
  }
  const tarn::Property* p = H().Find(obj, name);
  const tarn::Handle* h = p ? std::get_if<tarn::Handle>(p) : nullptr;
  if (!h) return 0;
  *out = *h;
  return 1;
}

int TARN_API tarnObjectGetLong(HostObject obj, const char* name, int, int index, int* out) {
  if (H().Observe("tarnObjectGetLong", obj, name).fail || !name) return 0;
  return ReadNumber<int, tarn::LongArray>(H().Find(obj, name), index, out) ? 1 : 0;
}

int TARN_API tarnObjectGetDouble(HostObject obj, const char* name, int, int index, double* out) {
  if (H().Observe("tarnObjectGetDouble", obj, name).fail || !name) return 0;
  return ReadNumber<double, tarn::DoubleArray>(H().Find(obj, name), index, out) ? 1 : 0;
}

int TARN_API tarnObjectGetSize(HostObject obj, const char* name, int, int, int* out) {
  if (H().Observe("tarnObjectGetSize", obj, name).fail || !name || !out) return 0;
  const tarn::Property* p = H().Find(obj, name);
  if (!p) return 0;
  size_t n = 1;
  if (auto* a = std::get_if<tarn::LongArray>(p)) n = a->size();
  if (auto* a = std::get_if<tarn::DoubleArray>(p)) n = a->size();
  if (auto* b = std::get_if<tarn::Bytes>(p)) n = b->size();
  *out = static_cast<int>(n);
  return 1;
}

int TARN_API tarnObjectSetLong(HostObject obj, const char* name, int, int index, int value) {
  if (H().Observe("tarnObjectSetLong", obj, name).fail || !name || !H().Exists(obj)) return 0;
  if (index == -1) {
    H().Set(obj, name, value);
    return 1;
  }
  const tarn::Property* p = H().Find(obj, name);
  const tarn::LongArray* a = p ? std::get_if<tarn::LongArray>(p) : nullptr;
  if (!a || index < 0 || static_cast<size_t>(index) >= a->size()) return 0;
  tarn::LongArray copy = *a;
  copy[static_cast<size_t>(index)] = value;
  H().Set(obj, name, std::move(copy));
  return 1;
}

int TARN_API tarnObjectSetString(HostObject obj, const char* name, int, int, const char* bytes,
                                 int count) {
  if (H().Observe("tarnObjectSetString", obj, name).fail || !name || !H().Exists(obj) || count < 0 ||
      (count > 0 && !bytes))
    return 0;
  H().SetBytes(obj, name, bytes ? bytes : "", static_cast<size_t>(count));
  return 1;
}

int TARN_API tarnObjectSetCString(HostObject obj, const char* name, int, int, const char* text) {
  if (H().Observe("tarnObjectSetCString", obj, name).fail || !name || !text || !H().Exists(obj)) return 0;
  H().Set(obj, name, tarn::Bytes(text));
  return 1;
}

int TARN_API tarnObjectCallSub(HostObject obj, const char* routine) {
  if (H().Observe("tarnObjectCallSub", obj, routine).fail) return 0;
  return H().CallRoutine(obj, routine);
}

int TARN_API tarnObjectDelete(HostObject obj) {
  if (H().Observe("tarnObjectDelete", obj, nullptr).fail || !H().Exists(obj) || obj == H().Root())
    return 0;
  H().Delete(obj);
  return 1;
}

int TARN_API tarnChannelDataSeek(HostObject channel, int scan, const char* mode) {
  if (H().Observe("tarnChannelDataSeek", channel, nullptr).fail) return 0;
  // Only absolute positioning is offered.
  if (!mode || std::string(mode) != "POSITION_ABSOLUTE") return 0;
  return H().Seek(channel, scan) ? 1 : 0;
}

int TARN_API tarnChannelGetDataDouble(HostObject channel, int count, double* destination) {
  const tarn::Verdict verdict = H().Observe("tarnChannelGetDataDouble", channel, nullptr);
  if (verdict.fail || !destination || count <= 0) return 0;
  if (verdict.shortBy > 0) count = count > verdict.shortBy ? count - verdict.shortBy : 0;
  int copied = H().Read(channel, count, destination);
  return copied < 0 ? 0 : copied;
}

HostObject TARN_API tarnProgressNew(HostObject parent, const char* caption) {
  if (H().Observe("tarnProgressNew", parent, nullptr).fail) return 0;
  return H().NewProgress(parent, caption);
}

int TARN_API tarnProgress(HostObject progress, double done, double total) {
  if (H().Observe("tarnProgress", progress, nullptr).fail) return 0;
  return H().Progress(progress, done, total);
}

}  // extern "C"

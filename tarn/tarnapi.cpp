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
  H().MatchFault("tarnObjectError", obj, nullptr);
  return H().RecordError(obj, message);
}

int TARN_API tarnObjectGetObject(HostObject obj, const char* name, int, int, HostObject* out) {
  if (H().MatchFault("tarnObjectGetObject", obj, name) || !name || !out || !H().Exists(obj)) return 0;
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
  if (H().MatchFault("tarnObjectGetLong", obj, name) || !name) return 0;
  return ReadNumber<int, tarn::LongArray>(H().Find(obj, name), index, out) ? 1 : 0;
}

int TARN_API tarnObjectGetDouble(HostObject obj, const char* name, int, int index, double* out) {
  if (H().MatchFault("tarnObjectGetDouble", obj, name) || !name) return 0;
  return ReadNumber<double, tarn::DoubleArray>(H().Find(obj, name), index, out) ? 1 : 0;
}

int TARN_API tarnObjectGetSize(HostObject obj, const char* name, int, int, int* out) {
  if (H().MatchFault("tarnObjectGetSize", obj, name) || !name || !out) return 0;
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
  if (H().MatchFault("tarnObjectSetLong", obj, name) || !name || !H().Exists(obj)) return 0;
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
  if (H().MatchFault("tarnObjectSetString", obj, name) || !name || !H().Exists(obj) || count < 0 ||
      (count > 0 && !bytes))
    return 0;
  H().SetBytes(obj, name, bytes ? bytes : "", static_cast<size_t>(count));
  return 1;
}

int TARN_API tarnObjectSetCString(HostObject obj, const char* name, int, int, const char* text) {
  if (H().MatchFault("tarnObjectSetCString", obj, name) || !name || !text || !H().Exists(obj)) return 0;
  H().Set(obj, name, tarn::Bytes(text));
  return 1;
}

int TARN_API tarnObjectCallSub(HostObject obj, const char* routine) {
  if (H().MatchFault("tarnObjectCallSub", obj, routine)) return 0;
  return H().CallRoutine(obj, routine);
}

int TARN_API tarnObjectDelete(HostObject obj) {
  if (H().MatchFault("tarnObjectDelete", obj, nullptr) || !H().Exists(obj) || obj == H().Root())
    return 0;
  H().Delete(obj);
  return 1;
}

int TARN_API tarnChannelDataSeek(HostObject channel, int scan, const char* mode) {
  if (H().MatchFault("tarnChannelDataSeek", channel, nullptr)) return 0;
  // Only absolute positioning is offered.
  if (!mode || std::string(mode) != "POSITION_ABSOLUTE") return 0;
  return H().Seek(channel, scan) ? 1 : 0;
}

int TARN_API tarnChannelGetDataDouble(HostObject channel, int count, double* destination) {
  const tarn::Fault* fault = H().MatchFault("tarnChannelGetDataDouble", channel, nullptr);
  if (fault && fault->shortBy <= 0) return 0;
  if (!destination || count <= 0) return 0;
  if (fault) count = count > fault->shortBy ? count - fault->shortBy : 0;
  int copied = H().Read(channel, count, destination);
  return copied < 0 ? 0 : copied;
}

HostObject TARN_API tarnProgressNew(HostObject parent, const char* caption) {
  if (H().MatchFault("tarnProgressNew", parent, nullptr)) return 0;
  return H().NewProgress(parent, caption);
}

int TARN_API tarnProgress(HostObject progress, double done, double total) {
  if (H().MatchFault("tarnProgress", progress, nullptr)) return 0;
  return H().Progress(progress, done, total);
}

}  // extern "C"

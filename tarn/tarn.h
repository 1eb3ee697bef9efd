// The stand-in tarn host: the host side of tarnapi.dll.
//
// vorda reaches its host only through the 14 C operations of tarnapi.h.
// This header is the host's own view of the same objects, for the tests,
// benchmarks and tools that play the host: they build objects and
// properties, read back what vorda wrote, read the error log and make any
// host operation fail on purpose.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <variant>
#include <vector>

#ifdef TARN_BUILDING_DLL
#define TARN_HOST_API __declspec(dllexport)
#else
#define TARN_HOST_API __declspec(dllimport)
#endif

namespace tarn {

using Handle = unsigned int;

// One report that vorda made through tarnObjectError.
struct ErrorRecord {
  Handle object;
  std::string message;
};

// A property value. Scalars are read and written with index -1; arrays by
// element index, or as a whole with -1 for their element count.
using Bytes = std::string;
using LongArray = std::vector<int>;
using DoubleArray = std::vector<double>;
using Property = std::variant<int, double, Bytes, LongArray, DoubleArray, Handle>;

// A fault to inject: the next matching calls of `operation` (a tarnapi
// function name such as "tarnObjectGetLong") fail. `name` narrows the
// match to one property or routine name when not empty; `skip` matching
// calls succeed first, then `times` calls fail.
struct Fault {
  std::string operation;
  std::string name;
  int skip = 0;
  int times = 1;
};

class TARN_HOST_API Host {
 public:
  // Forgets every object but the root, the error log and all faults.
  void Reset();

  // Objects. The root object is what every object's "TARN" property names.
  Handle Root() const;
  Handle NewObject(const std::string& kind = "object");
  bool Exists(Handle object) const;
  std::string KindOf(Handle object) const;
  void Delete(Handle object);
  size_t ObjectCount() const;

  // Properties, as the host's scripts would set and read them.
  void Set(Handle object, const std::string& name, Property value);
  const Property* Find(Handle object, const std::string& name) const;
  void Remove(Handle object, const std::string& name);

  // Routines: callables run by tarnObjectCallSub(object, name). A routine
  // returns nonzero for success and may call back into vorda.
  void SetRoutine(Handle object, const std::string& name, std::function<int(Handle)> routine);

  // The error log, in the order of the reports.
  const std::vector<ErrorRecord>& Errors() const;
  std::vector<std::string> Messages() const;
  void ClearErrors();
  // What tarnObjectError returns (0 unless changed).
  void SetErrorResult(int result);
  // Echo each report to stderr as it arrives.
  void SetEchoErrors(bool echo);

  // Fault injection and the count of every tarnapi call by operation.
  void AddFault(const Fault& fault);
  void ClearFaults();
  int CallCount(const std::string& operation) const;

  // Used by the C operations; not for callers of the host-side API.
  bool ShouldFail(const char* operation, const char* name);
  int RecordError(Handle object, const char* message);
  int CallRoutine(Handle object, const char* name);

 private:
  struct Object {
    std::string kind;
    std::map<std::string, Property> properties;
    std::map<std::string, std::function<int(Handle)>> routines;
  };
  Object* Lookup(Handle object);
  const Object* Lookup(Handle object) const;

  Handle next_ = 2;
  std::map<Handle, Object> objects_{{1, Object{"root", {}, {}}}};
  std::vector<ErrorRecord> errors_;
  int errorResult_ = 0;
  bool echo_ = false;
  std::vector<Fault> faults_;
  std::map<std::string, int> calls_;
};

// The one host of this process.
TARN_HOST_API Host& host();

}  // namespace tarn

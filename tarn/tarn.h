// The stand-in tarn host: the host side of tarnapi.dll.
//
// vorda reaches its host only through the 14 C operations of tarnapi.h.
// This header is the host's own view of the same objects, for the programs
// that play the host (the chart tool, tests, benchmarks): they build
// objects and properties, read back what vorda wrote and hear what vorda
// reports. A program that wants to watch or steer the host's answers from
// outside (a test making a call fail) attaches an Observer.
#pragma once

#include <functional>
#include <map>
#include <memory>
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

// One burst of a channel: its start time ("BurstBase") and its first and
// last scans, both included ("BurstBaseScan", "BurstEndScan").
struct Burst {
  double base;
  int firstScan;
  int lastScan;
};

// Makes the sample records of `count` consecutive scans from `firstScan`
// into `out` (count records of NumDims - 1 doubles each), on demand: a
// generator channel holds no samples of its own.
using SampleGenerator = std::function<void(int firstScan, int count, double* out)>;

// One tarnProgress call on a progress object.
struct ProgressCall {
  Handle progress;
  double done;
  double total;
};

// An object as it was when it was deleted.
struct DeletedObject {
  Handle handle;
  std::string kind;
  std::map<std::string, Property> properties;
};

// What an observer makes of one tarnapi call: the host answers it as
// usual, or the call fails (it returns 0 and does nothing), or a sample
// read copies `shortBy` samples fewer than were asked for.
struct Verdict {
  bool fail = false;
  int shortBy = 0;
};

// Watches the host from outside and may change its answers.
class Observer {
 public:
  virtual ~Observer() = default;
  // Every tarnapi call, before the host answers it: the operation's name
  // ("tarnObjectGetLong"), the object it is made on, and the property or
  // routine name (null for the operations that take none).
  virtual Verdict OnCall(const char* operation, Handle object, const char* name) = 0;
  // Every tarnProgress call on a progress object; what it returns is the
  // call's answer (nonzero goes on, 0 stops the work).
  virtual int OnProgress(const ProgressCall& call) = 0;
  // Every object deleted, with its last properties.
  virtual void OnDelete(const DeletedObject& object) = 0;
  // The host forgot its objects and its error log.
  virtual void OnReset() = 0;
};

// Hears each report as vorda makes it.
using ErrorSink = std::function<void(const ErrorRecord&)>;
// The host's own answer to a tarnProgress call: nonzero goes on, 0 stops
// the work (a user who asked for something else meanwhile).
using ProgressHandler = std::function<int(const ProgressCall&)>;

class TARN_HOST_API Host {
 public:
  // Forgets every object but the root, the error log and the error
  // result, hides the progress bar and drops the progress handler; the observer, the error sink and
  // the echo stay, and the observer hears of it.
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

  // Channels: objects of kind "channel" with "NumDims", "SampleInc" and the
  // three burst arrays set from `bursts`. Their samples come from
  // SetSamples or SetGenerator; each record holds NumDims - 1 doubles
  // (NumDims as set when the samples are given).
  Handle NewChannel(int numDims, double sampleInc, const std::vector<Burst>& bursts);
  // Samples held in memory: the records of the scans firstScan onwards.
  void SetSamples(Handle channel, int firstScan, std::vector<double> records);
  // Samples made on demand for the scans firstScan..lastScan.
  void SetGenerator(Handle channel, int firstScan, int lastScan, SampleGenerator generator);
  // The scan the next read starts at, as the last seek and reads left it.
  long long Position(Handle channel) const;

  // Progress objects (from tarnProgressNew, kind "progress", with the
  // caption in "Caption" and the parent in "Parent"). Every call goes on
  // unless the progress handler or an observer stops it; an unknown
  // progress handle gets 0. SetProgressBar draws each one as a bar on
  // stderr, as a user sees it.
  void SetProgressBar(bool show);
  void SetProgressHandler(ProgressHandler handler);

  // The error log, in the order of the reports.
  const std::vector<ErrorRecord>& Errors() const;
  std::vector<std::string> Messages() const;
  void ClearErrors();
  // What tarnObjectError returns (0 unless changed).
  void SetErrorResult(int result);
  // Echo each report to stderr as it arrives.
  void SetEchoErrors(bool echo);
  // Hand each report to `sink` as it arrives (none: an empty sink).
  void SetErrorSink(ErrorSink sink);

  // The one observer (none: null). It must outlive its attachment.
  void SetObserver(Observer* observer);

  // Used by the C operations; not for callers of the host-side API.
  // The observer's verdict on this call (a plain answer without one).
  Verdict Observe(const char* operation, Handle object, const char* name);
  int RecordError(Handle object, const char* message);
  int CallRoutine(Handle object, const char* name);
  bool Seek(Handle channel, long long scan);
  // Copies up to `count` records from the read position on; returns how
  // many it copied, or -1 when the object has no samples.
  int Read(Handle channel, int count, double* destination);
  Handle NewProgress(Handle parent, const char* caption);
  int Progress(Handle progress, double done, double total);
  // Stores bytes into a byte-string property, reusing its storage.
  void SetBytes(Handle object, const std::string& name, const char* bytes, size_t count);

 private:
  // Where a channel's records come from; scans first..last.
  struct Samples {
    int recordSize = 0;
    long long first = 0;
    long long last = -1;
    std::vector<double> records;  // empty for a generator
    SampleGenerator generator;
    long long position = 0;
  };
  struct Object {
    std::string kind;
    std::map<std::string, Property> properties;
    std::map<std::string, std::function<int(Handle)>> routines;
    std::shared_ptr<Samples> samples;
  };
  Object* Lookup(Handle object);
  const Object* Lookup(Handle object) const;

  Handle next_ = 2;
  std::map<Handle, Object> objects_{{1, Object{"root", {}, {}, nullptr}}};
  std::vector<ErrorRecord> errors_;
  int errorResult_ = 0;
  bool echo_ = false;
  ErrorSink sink_;
  Observer* observer_ = nullptr;
  bool progressBar_ = false;
  ProgressHandler progressHandler_;
};

// The one host of this process.
TARN_HOST_API Host& host();

}  // namespace tarn

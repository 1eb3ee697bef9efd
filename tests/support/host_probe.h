// The test's view into the stand-in host: it watches every tarnapi call,
// counts the calls by operation, makes chosen ones fail or read short,
// keeps the progress calls and the deleted objects, and answers the
// progress calls. It attaches to the host on first use and forgets all
// of this whenever the host is reset.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tarn.h"

namespace vorda_test {

// A fault to inject: the next matching calls of `operation` (a tarnapi
// function name such as "tarnObjectGetLong") fail. `name` narrows the
// match to one property or routine name when not empty; `skip` matching
// calls succeed first, then `times` calls fail.
// `object`, when not 0, narrows the match to calls on that object. A fault
// on tarnChannelGetDataDouble with `shortBy` > 0 does not fail the read but
// copies and returns that many samples fewer than were asked for.
struct Fault {
  std::string operation{};
  std::string name{};
  int skip = 0;
  int times = 1;
  tarn::Handle object = 0;
  int shortBy = 0;
};

class HostProbe : public tarn::Observer {
 public:
  HostProbe();
  HostProbe(const HostProbe&) = delete;
  HostProbe& operator=(const HostProbe&) = delete;
  ~HostProbe() override;

  void AddFault(const Fault& fault);
  void ClearFaults();
  int CallCount(const std::string& operation) const;

  // Every tarnProgress call on a progress object, oldest first. `answer`
  // decides what each returns; by default every call goes on.
  const std::vector<tarn::ProgressCall>& ProgressCalls() const { return progressCalls_; }
  void SetProgressAnswer(std::function<int(const tarn::ProgressCall&)> answer);
  // Objects deleted so far (through tarnObjectDelete or Host::Delete), with
  // their last properties, oldest first.
  const std::vector<tarn::DeletedObject>& Deleted() const { return deleted_; }
  // Forgets the progress calls and deleted objects, for a run so long that
  // they would otherwise grow with every call.
  void ClearHistory();

  tarn::Verdict OnCall(const char* operation, tarn::Handle object, const char* name) override;
  int OnProgress(const tarn::ProgressCall& call) override;
  void OnDelete(const tarn::DeletedObject& object) override;
  void OnReset() override;

 private:
  std::vector<Fault> faults_;
  std::map<std::string, int> calls_;
  std::vector<tarn::ProgressCall> progressCalls_;
  std::function<int(const tarn::ProgressCall&)> progressAnswer_;
  std::vector<tarn::DeletedObject> deleted_;
};

// The probe of this process, attached to the host.
HostProbe& probe();

}  // namespace vorda_test

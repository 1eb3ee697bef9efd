// The test's view into the stand-in host: it watches every tarnapi call,
// counts the calls by operation, makes chosen ones fail or read short,
// keeps the progress calls and the deleted objects, and answers the
// progress calls. It attaches to the host on first use and forgets all
// of this whenever the host is reset.
#pragma once

#include <cstring>
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
  HostProbe() { tarn::host().SetObserver(this); }
  HostProbe(const HostProbe&) = delete;
  HostProbe& operator=(const HostProbe&) = delete;
  ~HostProbe() override { tarn::host().SetObserver(nullptr); }

  void AddFault(const Fault& fault) { faults_.push_back(fault); }
  void ClearFaults() { faults_.clear(); }
  int CallCount(const std::string& operation) const {
    auto it = calls_.find(operation);
    return it == calls_.end() ? 0 : it->second;
  }

  // Every tarnProgress call on a progress object, oldest first. `answer`
  // decides what each returns; by default every call goes on.
  const std::vector<tarn::ProgressCall>& ProgressCalls() const { return progressCalls_; }
  void SetProgressAnswer(std::function<int(const tarn::ProgressCall&)> answer) {
    progressAnswer_ = std::move(answer);
  }
  // Objects deleted so far (through tarnObjectDelete or Host::Delete), with
  // their last properties, oldest first.
  const std::vector<tarn::DeletedObject>& Deleted() const { return deleted_; }
  // Forgets the progress calls and deleted objects, for a run so long that
  // they would otherwise grow with every call.
  void ClearHistory() {
    deleted_.clear();
    progressCalls_.clear();
  }

  tarn::Verdict OnCall(const char* operation, tarn::Handle object, const char* name) override {
    ++calls_[operation];
    for (Fault& f : faults_) {
      if (f.operation != operation || (!f.name.empty() && (!name || f.name != name)) ||
          (f.object != 0 && f.object != object))
        continue;
      if (f.skip > 0) {
        --f.skip;
      } else if (f.times > 0) {
        --f.times;
        // Only a sample read can come up short; any other call just fails.
        const bool shortRead = f.shortBy > 0 && std::strcmp(operation, "tarnChannelGetDataDouble") == 0;
        return {!shortRead, shortRead ? f.shortBy : 0};
      }
    }
    return {};
  }
  int OnProgress(const tarn::ProgressCall& call) override {
    progressCalls_.push_back(call);
    return progressAnswer_ ? progressAnswer_(call) : 1;
  }
  void OnDelete(const tarn::DeletedObject& object) override { deleted_.push_back(object); }
  void OnReset() override {
    faults_.clear();
    calls_.clear();
    ClearHistory();
    progressAnswer_ = nullptr;
  }

 private:
  std::vector<Fault> faults_;
  std::map<std::string, int> calls_;
  std::vector<tarn::ProgressCall> progressCalls_;
  std::function<int(const tarn::ProgressCall&)> progressAnswer_;
  std::vector<tarn::DeletedObject> deleted_;
};

// The probe of this process, attached to the host.
inline HostProbe& probe() {
  static HostProbe instance;
  return instance;
}

}  // namespace vorda_test

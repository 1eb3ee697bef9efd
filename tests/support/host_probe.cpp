#include "host_probe.h"

#include <cstring>

namespace vorda_test {

HostProbe::HostProbe() { tarn::host().SetObserver(this); }
HostProbe::~HostProbe() { tarn::host().SetObserver(nullptr); }

void HostProbe::AddFault(const Fault& fault) { faults_.push_back(fault); }
void HostProbe::ClearFaults() { faults_.clear(); }

int HostProbe::CallCount(const std::string& operation) const {
  auto it = calls_.find(operation);
  return it == calls_.end() ? 0 : it->second;
}

void HostProbe::SetProgressAnswer(std::function<int(const tarn::ProgressCall&)> answer) {
  progressAnswer_ = std::move(answer);
}

void HostProbe::ClearHistory() {
  deleted_.clear();
  progressCalls_.clear();
}

tarn::Verdict HostProbe::OnCall(const char* operation, tarn::Handle object, const char* name) {
  ++calls_[operation];
  for (Fault& f : faults_) {
    if (f.operation != operation) continue;
    if (!f.name.empty() && (!name || f.name != name)) continue;
    if (f.object != 0 && f.object != object) continue;
    if (f.skip > 0) {
      --f.skip;
      continue;
    }
    if (f.times > 0) {
      --f.times;
      // Only a sample read can come up short; any other call just fails.
      const bool shortRead = f.shortBy > 0 && std::strcmp(operation, "tarnChannelGetDataDouble") == 0;
      return {!shortRead, shortRead ? f.shortBy : 0};
    }
  }
  return {};
}

int HostProbe::OnProgress(const tarn::ProgressCall& call) {
  progressCalls_.push_back(call);
  return progressAnswer_ ? progressAnswer_(call) : 1;
}

void HostProbe::OnDelete(const tarn::DeletedObject& object) { deleted_.push_back(object); }

void HostProbe::OnReset() {
  faults_.clear();
  calls_.clear();
  progressCalls_.clear();
  progressAnswer_ = nullptr;
  deleted_.clear();
}

HostProbe& probe() {
  static HostProbe instance;
  return instance;
}

}  // namespace vorda_test

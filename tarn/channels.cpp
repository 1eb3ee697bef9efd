// Channels and progress objects of the stand-in host: sample records
// addressed by absolute scan with one read position a channel, and
// progress objects, drawn as a bar when asked and answered by the
// observer when there is one.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tarn.h"

namespace tarn {

Handle Host::NewChannel(int numDims, double sampleInc, const std::vector<Burst>& bursts) {
  Handle channel = NewObject("channel");
  DoubleArray base;
  LongArray first, last;
  for (const Burst& b : bursts) {
    base.push_back(b.base);
    first.push_back(b.firstScan);
    last.push_back(b.lastScan);
  }
  Set(channel, "NumDims", numDims);
  Set(channel, "SampleInc", sampleInc);
  Set(channel, "BurstBase", std::move(base));
  Set(channel, "BurstBaseScan", std::move(first));
  Set(channel, "BurstEndScan", std::move(last));
  return channel;
}

namespace {

// Record length from the channel's "NumDims" as it is now (at least 1).
int RecordSizeOf(const Property* numDims) {
  const int* n = numDims ? std::get_if<int>(numDims) : nullptr;
  return n && *n >= 2 ? *n - 1 : 1;
}

}  // namespace

void Host::SetSamples(Handle channel, int firstScan, std::vector<double> records) {
  Object* o = Lookup(channel);
  if (!o) return;
  auto s = std::make_shared<Samples>();
  s->recordSize = RecordSizeOf(Find(channel, "NumDims"));
  s->first = firstScan;
  s->last = firstScan + static_cast<long long>(records.size() / s->recordSize) - 1;
  s->records = std::move(records);
  s->position = firstScan;
  o->samples = std::move(s);
}

void Host::SetGenerator(Handle channel, int firstScan, int lastScan, SampleGenerator generator) {
  Object* o = Lookup(channel);
  if (!o) return;
  auto s = std::make_shared<Samples>();
  s->recordSize = RecordSizeOf(Find(channel, "NumDims"));
  s->first = firstScan;
  s->last = lastScan;
  s->generator = std::move(generator);
  s->position = firstScan;
  o->samples = std::move(s);
}

long long Host::Position(Handle channel) const {
  const Object* o = Lookup(channel);
  return o && o->samples ? o->samples->position : 0;
}

bool Host::Seek(Handle channel, long long scan) {
  Object* o = Lookup(channel);
  if (!o || !o->samples) return false;
  o->samples->position = scan;
  return true;
}

int Host::Read(Handle channel, int count, double* destination) {
  Object* o = Lookup(channel);
  if (!o || !o->samples) return -1;
  Samples& s = *o->samples;
  if (count <= 0 || s.position < s.first || s.position > s.last) return 0;
  long long available = s.last - s.position + 1;
  int n = static_cast<int>(std::min<long long>(count, available));
  size_t values = static_cast<size_t>(n) * s.recordSize;
  if (s.generator) {
    s.generator(static_cast<int>(s.position), n, destination);
  } else {
    size_t from = static_cast<size_t>(s.position - s.first) * s.recordSize;
    std::memcpy(destination, s.records.data() + from, values * sizeof(double));
  }
  s.position += n;
  return n;
}

Handle Host::NewProgress(Handle parent, const char* caption) {
  if (!Exists(parent)) return 0;
  Handle progress = NewObject("progress");
  Set(progress, "Caption", Bytes(caption ? caption : ""));
  Set(progress, "Parent", parent);
  return progress;
}

void Host::SetProgressBar(bool show) { progressBar_ = show; }
void Host::SetProgressHandler(ProgressHandler handler) { progressHandler_ = std::move(handler); }

int Host::Progress(Handle progress, double done, double total) {
  if (KindOf(progress) != "progress") return 0;
  if (progressBar_) {
    // (0, 100) is how work hands its progress object back: end the bar's
    // line where it stands rather than drawing it empty.
    if (done == 0 && total == 100) {
      std::fputc('\n', stderr);
    } else {
      const Property* caption = Find(progress, "Caption");
      const Bytes* text = caption ? std::get_if<Bytes>(caption) : nullptr;
      const double share = total > 0 && std::isfinite(done / total) ? std::clamp(done / total, 0.0, 1.0) : 0;
      const int filled = static_cast<int>(share * 40);
      std::fprintf(stderr, "\r%s [%.*s%*s] %3d%%", text ? text->c_str() : "", filled,
                   "########################################", 40 - filled, "",
                   static_cast<int>(share * 100));
    }
  }
  const ProgressCall call{progress, done, total};
  // Both are asked, so that an observer sees every call; either can stop.
  const int host = progressHandler_ ? progressHandler_(call) : 1;
  const int observed = observer_ ? observer_->OnProgress(call) : 1;
  return host == 0 ? 0 : observed;
}

}  // namespace tarn

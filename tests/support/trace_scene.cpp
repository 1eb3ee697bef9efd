#include "trace_scene.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>

#include "ledger.h"

namespace vorda_test {

std::vector<double> DoublesOf(tarn::Handle object, const std::string& name) {
  const tarn::Property* p = tarn::host().Find(object, name);
  const tarn::Bytes* b = p ? std::get_if<tarn::Bytes>(p) : nullptr;
  if (!b) return {};
  std::vector<double> out(b->size() / sizeof(double));
  if (!out.empty()) std::memcpy(out.data(), b->data(), out.size() * sizeof(double));
  return out;
}

int LongOf(tarn::Handle object, const std::string& name) {
  const tarn::Property* p = tarn::host().Find(object, name);
  const int* v = p ? std::get_if<int>(p) : nullptr;
  return v ? *v : -1;
}

DrawRecorder::DrawRecorder(std::function<int(tarn::Handle)> then)
    : object_(tarn::host().NewObject("drawing")), then_(std::move(then)) {
  tarn::host().SetRoutine(object_, "Draw", [this](tarn::Handle self) {
    DrawnBlock block;
    block.data = DoublesOf(self, "Data");
    const tarn::Property* p = tarn::host().Find(self, "Data");
    if (const tarn::Bytes* b = p ? std::get_if<tarn::Bytes>(p) : nullptr) block.bytes = b->size();
    block.dataSize = LongOf(self, "DataSize");
    blocks_.push_back(std::move(block));
    return then_ ? then_(self) : 1;
  });
}

DrawRecorder::~DrawRecorder() { tarn::host().Delete(object_); }

tarn::Handle ScanChannel(int numDims, double sampleInc, const std::vector<tarn::Burst>& bursts,
                         double sign) {
  tarn::Handle channel = tarn::host().NewChannel(numDims, sampleInc, bursts);
  const int record = numDims > 1 ? numDims - 1 : 1;
  tarn::host().SetGenerator(channel, INT_MIN, INT_MAX, [record, sign](int first, int count,
                                                                     double* out) {
    for (int k = 0; k < count; ++k)
      for (int j = 0; j < record; ++j)
        out[static_cast<size_t>(k) * record + j] =
            sign * (static_cast<double>(first) + k) * (j + 1);
  });
  return channel;
}

std::vector<tarn::DeletedObject> DeletedProgress() {
  std::vector<tarn::DeletedObject> out;
  for (const tarn::DeletedObject& d : probe().Deleted())
    if (d.kind == "progress") out.push_back(d);
  return out;
}

std::vector<std::pair<double, double>> ProgressValues() {
  std::vector<std::pair<double, double>> out;
  for (const tarn::ProgressCall& c : probe().ProgressCalls()) out.emplace_back(c.done, c.total);
  return out;
}

void ExpectProgressClosed() {
  std::vector<tarn::DeletedObject> gone = DeletedProgress();
  ASSERT_EQ(gone.size(), 1u) << "one progress object, deleted";
  const tarn::DeletedObject& p = gone[0];
  auto text = [&](const char* name) {
    auto it = p.properties.find(name);
    const tarn::Bytes* b = it == p.properties.end() ? nullptr : std::get_if<tarn::Bytes>(&it->second);
    return b ? *b : std::string("<none>");
  };
  EXPECT_EQ(text("Caption"), "Drawing");
  auto parent = p.properties.find("Parent");
  ASSERT_NE(parent, p.properties.end());
  EXPECT_EQ(std::get<tarn::Handle>(parent->second), tarn::host().Root());
  EXPECT_EQ(text("ProgressText"), "");
  const auto& calls = probe().ProgressCalls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back().progress, p.handle);
  EXPECT_EQ(calls.back().done, 0.0);
  EXPECT_EQ(calls.back().total, 100.0);
  EXPECT_FALSE(tarn::host().Exists(p.handle));
}

void ExpectCleanRun(const Ledger& ledger, std::vector<std::pair<double, double>> progress) {
  progress.push_back({0, 100});
  EXPECT_EQ(ProgressValues(), progress);
  ExpectProgressClosed();
  EXPECT_THAT(tarn::host().Messages(), ::testing::IsEmpty());
  EXPECT_EQ(ledger.Leaks(), "");
}

}  // namespace vorda_test

#include "summaries.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "cache_store.h"

namespace chart {

std::string SummaryRecipe(const Options& o) {
  if (o.raw.empty()) return "file";
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, " %.17g %.17g", o.scale, o.offset);
  return "raw " + o.raw + numbers;
}

bool AttachSummaries(const Options& o, Recording* r, const std::function<bool(std::int64_t, std::int64_t)>& progress,
                     SummaryOutcome* outcome, std::string* error) {
  *outcome = {};
  if (!r->source || r->SampleCount() < kSummaryMinSamples) return true;
  const recording::FileIdentity identity = r->source->Identity();
  const std::string recipe = SummaryRecipe(o);
  // Parsed text lives in memory and has no file to key a summary by.
  const recording::CacheStore store(identity.path.empty() || o.noCache ? std::string()
                                                                       : recording::CacheStore::UserFolder());
  auto summaries = std::make_shared<std::vector<recording::ChannelSummary>>();
  if (store.enabled()) {
    std::vector<std::uint8_t> payload;
    std::string why;
    if (store.Load(identity, &payload, &why)) {
      if (recording::UnpackSummaries(payload, recipe, r->source->ChannelCount(), r->source->FrameCount(),
                                     summaries.get())) {
        outcome->fromCache = true;
        r->summaries = summaries;
        return true;
      }
      why = "it was made from another reading of the file";
    }
    if (!why.empty()) outcome->note = "the kept summary of " + identity.name + " was not taken (" + why + ")";
  }
  if (!recording::SummarizeSource(*r->source, summaries.get(), progress, error)) return false;
  if (store.enabled()) {
    std::string storeError;
    if (!store.Store(identity, recording::PackSummaries(recipe, *summaries), &storeError))
      outcome->note = "the summary of " + identity.name + " could not be kept: " + storeError;
  }
  r->summaries = summaries;
  return true;
}

}  // namespace chart

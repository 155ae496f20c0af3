#include "results/evidence.h"

#include "results/text_format.h"
#include "run/repetition.h"

namespace bench {

Evidence evidenceOf(const JournalEntry& entry) {
  Evidence evidence;
  evidence.build = entryBuildName(entry);
  evidence.time = entry.time;
  // A test timed once has its one time as its only repetition.
  const std::vector<int32_t> once = {entry.timeMs};
  const std::vector<int32_t>& times = entry.repetitionsMs.empty() ? once : entry.repetitionsMs;
  const RepetitionSpread spread = spreadOf(times.data(), static_cast<int32_t>(times.size()));
  evidence.repetitions = spread.count;
  evidence.fastestMs = spread.fastest;
  evidence.slowestMs = spread.slowest;
  evidence.medianMs = spread.median;
  evidence.noiseJudged = entry.noiseJudged;
  evidence.busy = entry.busy;
  return evidence;
}

std::string describeEvidence(const Evidence& evidence) {
  std::string text = evidence.build;
  if (evidence.repetitions > 1) {
    appendFormat(&text, "; %d repetitions: fastest %.3f s, median %.3f s, slowest %.3f s",
                 evidence.repetitions, evidence.fastestMs * 0.001, evidence.medianMs * 0.001,
                 evidence.slowestMs * 0.001);
  } else {
    appendFormat(&text, "; timed once: %.3f s", evidence.fastestMs * 0.001);
  }
  if (evidence.noiseJudged) {
    text += evidence.busy ? "; the repetitions disagree: the machine was busy"
                          : "; the repetitions agree";
  }
  if (!evidence.time.empty()) text += "; run at " + evidence.time;
  return text;
}

EvidenceIndex::EvidenceIndex(const std::vector<JournalEntry>& entries) {
  for (const JournalEntry& entry : entries) {
    auto [it, added] = byRecord_.try_emplace(keyOf(entry.test, entry.clock, entry.description));
    Lines& lines = it->second;
    if (added || entry.time >= lines.latest.time) lines.latest = evidenceOf(entry);
    auto [sameTime, first] = lines.latestByTime.try_emplace(entry.timeMs);
    if (first || entry.time >= sameTime->second.time) sameTime->second = evidenceOf(entry);
  }
}

const Evidence* EvidenceIndex::find(const ResultRecord& record) const {
  auto it = byRecord_.find(keyOf(record.test, record.clock, record.description));
  if (it == byRecord_.end()) return nullptr;
  auto sameTime = it->second.latestByTime.find(record.time);
  return sameTime != it->second.latestByTime.end() ? &sameTime->second : &it->second.latest;
}

std::string EvidenceIndex::keyOf(int32_t test, int32_t clock, std::string_view description) {
  std::string key;
  appendFormat(&key, "%d %d ", test, clock);
  key.append(description);
  return key;
}

}  // namespace bench

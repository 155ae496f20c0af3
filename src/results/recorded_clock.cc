#include "results/recorded_clock.h"

#include "run/clock_measurement.h"

namespace bench {

RecordedClock clockToRecord(const ResultTable& table, std::string_view description,
                            int32_t measuredMhz) {
  RecordedClock nearest;
  int64_t nearestDistance = 0;
  for (int i = 0; i < table.count(); ++i) {
    const ResultRecord& record = table.record(i);
    if (!withinMeasurementSpread(record.clock, measuredMhz) || description != record.description) {
      continue;
    }
    int64_t distance = static_cast<int64_t>(record.clock) - measuredMhz;
    if (distance < 0) distance = -distance;
    if (!nearest.fromTable || distance < nearestDistance ||
        (distance == nearestDistance && record.clock < nearest.mhz)) {
      nearest = RecordedClock{record.clock, true};
      nearestDistance = distance;
    }
  }
  if (!nearest.fromTable) nearest.mhz = roundToClockStep(measuredMhz);
  return nearest;
}

}  // namespace bench

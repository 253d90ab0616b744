// The room's time: seconds the server has run for this answer folder,
// across restarts. Candidates' clocks are read against it, so time does
// not run while the server is down. Monotonic milliseconds are given by
// the caller (tests drive them).
#pragma once

#include <cstdint>

namespace qzt::classroom {

class RoomClock {
 public:
  // `keptSeconds` from the room file (0 for a new folder), `nowMs` the
  // monotonic time at start.
  RoomClock(std::int64_t keptSeconds, std::int64_t nowMs) : base_(keptSeconds), startMs_(nowMs) {}
  // Whole seconds of room time at monotonic `nowMs`.
  std::int64_t seconds(std::int64_t nowMs) const {
    return base_ + (nowMs > startMs_ ? (nowMs - startMs_) / 1000 : 0);
  }

 private:
  std::int64_t base_;
  std::int64_t startMs_;
};

}  // namespace qzt::classroom

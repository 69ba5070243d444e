#include "progress.h"

#include "report_format.h"
#include "tool_output.h"

namespace varnoll::fleet {

void CProgress::Machines(long long count) {
  // The clock is asked once per 1,024 machines: reading one takes microseconds.
  if (!terminal_ || (count & 1023) != 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - start_ < std::chrono::seconds(1) || (shown_ && now - last_ < std::chrono::milliseconds(250))) return;
  last_ = now;
  shown_ = true;
  Write(stderr, "\rvarnollfleet: " + check::Decimal(count) + " machines read...");
}

void CProgress::Done() {
  if (shown_) Write(stderr, "\r" + std::string(60, ' ') + "\r");
  shown_ = false;
}

}  // namespace varnoll::fleet

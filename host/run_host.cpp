#include <algorithm>

#include "host/host.h"

// Kept apart from the pass itself, since only the layers that sleep between passes link it: the
// page is woken by the browser once a frame and has no PlatformWait.
void RunHost(Host& host, Window& w, Program& program) {
  for (;;) {
    RunHostPass(host, w, program);
    if (host.Closed || program.Ended) {
      return;
    }
    const int64_t now = PlatformNowNs(w);
    const int64_t wake = std::min(HostWakeNs(host, w, program), now + MaxWaitNs);
    if (wake > now && PlatformWait(w, wake)) {
      host.InputWaiting = true;
    }
  }
}

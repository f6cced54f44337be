#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/host.h"

namespace {

// How often each timer fired and the window was presented in the last second, and how many
// device pixels were shown.
void PrintCountsLine(const Host& host, const Program& program) {
  const TimerFirings& firings = program.Firings;
  std::printf("firings_t=%" PRId64 " firings_h=%" PRId64 " presents=%" PRId64
              " uploaded_px=%" PRId64 "\n",
              firings.CountT, firings.CountH, host.Presents, host.PresentedPixels);
  std::fflush(stdout);
}

}  // namespace

void UseMeasuringSwitches(Host& host, Program& program) {
  host.PrintCounts = PrintCountsLine;
  const char* noHandlers = std::getenv("GRAVITY_STATS_NO_HANDLERS");
  program.RunTimerHandlers = noHandlers == nullptr || std::strcmp(noHandlers, "1") != 0;
  // Fully buffered into a fixed buffer and flushed after each line, so printing never allocates.
  static char buffer[BUFSIZ];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
}

#include "platform/desktop/event_loop.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <thread>

#include "platform/desktop/key_codes.h"

namespace {

constexpr int64_t NsPerMs = 1'000'000;
constexpr int64_t NsPerSecond = 1'000'000'000;
constexpr int DefaultRefreshHz = 60;  // when the display does not say
constexpr int MaxRefreshHz = 240;     // presenting more often only takes time from the timers
constexpr int64_t MaxWaitNs = 250 * NsPerMs;  // a wait with nothing due still wakes now and then
// Presents are spaced at least this many times their own duration apart, but a slow one (a
// whole huge window after a resize or a click) holds the next back by no more than a second.
constexpr int64_t SlowPresentSpacing = 5;
constexpr int64_t MaxPresentSpacingNs = NsPerSecond;
// Input is looked at every 4 ms while the timers keep the loop awake: far sooner than anyone can
// notice, and each look costs several system calls on the display connection, which at every
// millisecond would be a good part of the program's idle load.
constexpr int64_t InputIntervalNs = 4 * NsPerMs;

// What the loop keeps between passes, besides the program itself.
struct LoopState {
  bool MustPresent = true;  // the window lost its picture (opened, exposed, restored, resized)
  int64_t RefreshNs = NsPerSecond / DefaultRefreshHz;
  int64_t NextPresentNs = 0;
  int64_t Presents = 0;
  int64_t NextPrintNs = 0;
  int64_t NextInputNs = 0;  // when pending events are next collected
};

int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int64_t RefreshIntervalNs(SDL_Window* window) {
  SDL_DisplayMode mode{};
  int hz = DefaultRefreshHz;
  if (SDL_GetWindowDisplayMode(window, &mode) == 0 && mode.refresh_rate > 0) {
    hz = std::min(mode.refresh_rate, MaxRefreshHz);
  }
  return NsPerSecond / hz;
}

// What the loop works on: the window and the program it shows.
struct Loop {
  Window& w;
  Program& p;
  LoopState state;
};

void HandleWindowEvent(Loop& loop, const SDL_WindowEvent& event) {
  switch (event.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      MatchSurfaceToWindow(loop.w, loop.p.surface);
      loop.state.MustPresent = true;
      break;
    case SDL_WINDOWEVENT_MOVED:
      // Possibly onto another screen with another refresh rate.
      loop.state.RefreshNs = RefreshIntervalNs(loop.w.Sdl);
      break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      // The window's picture is lost: all of it is shown again.
      MarkAllToShow(loop.p);
      loop.state.MustPresent = true;
      break;
    default:
      break;
  }
}

// Passes one event to its handler. Returns false when the event ends the program.
bool HandleEvent(Loop& loop, const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      return false;
    case SDL_KEYDOWN: {
      // Held keys repeat, and every repeat is a press of its own.
      const bool numLock = (event.key.keysym.mod & KMOD_NUM) != 0;
      PressKey(loop.p, VirtualKeyCode(event.key.keysym.sym, numLock),
               ShiftState(event.key.keysym.mod));
      return !loop.p.Ended;
    }
    case SDL_MOUSEBUTTONUP: {
      const ScreenPoint at = MouseToSurface(loop.w, event.button.x, event.button.y);
      ReleaseMouseButton(loop.p, MouseButtonCode(MouseButtonOf(event.button.button)),
                         ShiftState(static_cast<uint16_t>(SDL_GetModState())), at.X, at.Y);
      return true;
    }
    case SDL_WINDOWEVENT:
      HandleWindowEvent(loop, event.window);
      return true;
    default:
      return true;
  }
}

// Handles every pending event, in order of arrival. Returns false when one ends the program.
bool HandleEventsIfDue(Loop& loop, int64_t nowNs) {
  if (nowNs < loop.state.NextInputNs) {
    return true;
  }
  loop.state.NextInputNs = nowNs + InputIntervalNs;
  SDL_Event event;
  while (SDL_PollEvent(&event) == 1) {
    if (!HandleEvent(loop, event)) {
      return false;
    }
  }
  return true;
}

// Whether there is something new for the window to show, and it can be seen.
bool PresentPending(const Loop& loop) {
  return (loop.state.MustPresent || HasChanges(loop.p)) && WindowIsShowing(loop.w);
}

// Shows the surface at most once per refresh of the display: drawing happens every millisecond,
// but nobody sees more than the screen shows.
void PresentIfDue(Loop& loop, int64_t nowNs) {
  LoopState& state = loop.state;
  if (PresentUnderWay(loop.w)) {
    // The next part of the present, after the timers have had their turn.
    ContinuePresent(loop.w, loop.p.surface);
    return;
  }
  if (nowNs < state.NextPresentNs || !PresentPending(loop)) {
    return;
  }
  const bool shown = PresentSurface(loop.w, loop.p.surface);
  const int64_t tookNs = NowNs() - nowNs;
  state.MustPresent = !shown;
  // A present that takes long (a renderer with no graphics card behind it, a huge window) is
  // made less often, so presenting never takes more than a share of the time from the timers.
  state.NextPresentNs =
      nowNs + std::clamp(SlowPresentSpacing * tookNs, state.RefreshNs, MaxPresentSpacingNs);
  if (shown) {
    ++state.Presents;
  }
}

void PrintCountsIfDue(Loop& loop, int64_t nowNs) {
  LoopState& state = loop.state;
  if (nowNs < state.NextPrintNs) {
    return;
  }
  TimerFirings& firings = loop.p.Firings;
  std::printf("firings_t=%" PRId64 " firings_h=%" PRId64 " presents=%" PRId64
              " uploaded_px=%" PRId64 "\n",
              firings.CountT, firings.CountH, state.Presents, loop.w.UploadedPixels);
  loop.w.UploadedPixels = 0;
  std::fflush(stdout);
  firings.CountT = 0;
  firings.CountH = 0;
  state.Presents = 0;
  // Stay on whole seconds unless the program was held up for longer than one.
  state.NextPrintNs += NsPerSecond;
  if (state.NextPrintNs <= nowNs) {
    state.NextPrintNs = nowNs + NsPerSecond;
  }
}

// The moment the loop next has work: a timer firing, a present or a line of counts. The rest of a
// present under way is due at once.
int64_t NextWakeNs(const Loop& loop, const LoopOptions& options) {
  if (PresentUnderWay(loop.w)) {
    return 0;
  }
  int64_t wake = NextFiringNs(loop.p);
  if (PresentPending(loop)) {
    wake = std::min(wake, loop.state.NextPresentNs);
  }
  if (options.PrintCounts) {
    wake = std::min(wake, loop.state.NextPrintNs);
  }
  return wake;
}

// Sleeps until `wakeNs` or the next event. Whole milliseconds are spent in SDL's event wait, which
// wakes at once for input; the sub-millisecond rest is a plain sleep, since SDL's timeout only
// counts whole milliseconds. Returns false when an event that arrived ends the program.
bool WaitUntil(Loop& loop, int64_t wakeNs) {
  const int64_t now = NowNs();
  if (wakeNs <= now) {
    return true;
  }
  const int64_t waitNs = std::min(wakeNs - now, MaxWaitNs);
  if (waitNs >= NsPerMs) {
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, static_cast<int>(waitNs / NsPerMs)) == 1) {
      return HandleEvent(loop, event);
    }
    return true;
  }
  std::this_thread::sleep_for(std::chrono::nanoseconds(waitNs));
  return true;
}

}  // namespace

void RunEventLoop(Window& w, Program& program, const LoopOptions& options) {
  Loop loop{w, program, {}};
  loop.state.RefreshNs = RefreshIntervalNs(w.Sdl);
  loop.state.NextPresentNs = NowNs();
  loop.state.NextPrintNs = NowNs() + NsPerSecond;

  for (;;) {
    // Input first, so a timer switched on by a key starts its cadence in this same pass.
    if (!HandleEventsIfDue(loop, NowNs())) {
      return;
    }
    RunDueFirings(program, NowNs());
    PresentIfDue(loop, NowNs());
    if (options.PrintCounts) {
      PrintCountsIfDue(loop, NowNs());
    }

    if (!WaitUntil(loop, NextWakeNs(loop, options))) {
      return;
    }
  }
}

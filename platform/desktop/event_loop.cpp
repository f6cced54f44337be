#include "platform/desktop/event_loop.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <thread>

#include "commands/handle_key.h"
#include "platform/desktop/key_codes.h"
#include "platform/timer_firings.h"
#include "seed/seed_universe.h"

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
  TimerFirings Firings;  // the timers' schedules, and their firings counted for the measuring build
  uint64_t PresentedChanges = 0;  // surface.Changes when the window last showed the surface
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

void HandleWindowEvent(Program& p, LoopState& state, const SDL_WindowEvent& event) {
  switch (event.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      MatchSurfaceToWindow(p.w, p.surface);
      state.MustPresent = true;
      break;
    case SDL_WINDOWEVENT_MOVED:
      // Possibly onto another screen with another refresh rate.
      state.RefreshNs = RefreshIntervalNs(p.w.Sdl);
      break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      // The window's picture is lost: all of it is shown again.
      MarkAllChanged(p.surface.Changed);
      state.MustPresent = true;
      break;
    default:
      break;
  }
}

// Passes one event to its handler. Returns false when the event ends the program.
bool HandleEvent(Program& p, LoopState& state, const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      return false;
    case SDL_KEYDOWN: {
      // Held keys repeat, and every repeat is a press of its own.
      const bool numLock = (event.key.keysym.mod & KMOD_NUM) != 0;
      const int16_t code = VirtualKeyCode(event.key.keysym.sym, numLock);
      const int shift = ShiftState(event.key.keysym.mod);
      return HandleKey(*p.world, p.surface, p.timers, code, shift) != KeyOutcome::EndProgram;
    }
    case SDL_MOUSEBUTTONUP: {
      const ScreenPoint at = MouseToSurface(p.w, event.button.x, event.button.y);
      SeedUniverse(*p.world, p.surface, p.timers, p.random, MouseButtonCode(event.button.button),
                   ShiftState(static_cast<uint16_t>(SDL_GetModState())), at.X, at.Y);
      return true;
    }
    case SDL_WINDOWEVENT:
      HandleWindowEvent(p, state, event.window);
      return true;
    default:
      return true;
  }
}

// Handles every pending event, in order of arrival. Returns false when one ends the program.
bool HandleEventsIfDue(Program& p, LoopState& state, int64_t nowNs) {
  if (nowNs < state.NextInputNs) {
    return true;
  }
  state.NextInputNs = nowNs + InputIntervalNs;
  SDL_Event event;
  while (SDL_PollEvent(&event) == 1) {
    if (!HandleEvent(p, state, event)) {
      return false;
    }
  }
  return true;
}

// Whether there is something new for the window to show, and it can be seen.
bool PresentPending(const Program& p, const LoopState& state) {
  return (state.MustPresent || p.surface.Changes != state.PresentedChanges) && WindowIsShowing(p.w);
}

// Shows the surface at most once per refresh of the display: drawing happens every millisecond,
// but nobody sees more than the screen shows.
void PresentIfDue(Program& p, LoopState& state, int64_t nowNs) {
  if (PresentUnderWay(p.w)) {
    // The next part of the present, after the timers have had their turn.
    ContinuePresent(p.w, p.surface);
    return;
  }
  if (nowNs < state.NextPresentNs || !PresentPending(p, state)) {
    return;
  }
  const bool shown = PresentSurface(p.w, p.surface);
  const int64_t tookNs = NowNs() - nowNs;
  state.PresentedChanges = p.surface.Changes;
  state.MustPresent = !shown;
  // A present that takes long (a renderer with no graphics card behind it, a huge window) is
  // made less often, so presenting never takes more than a share of the time from the timers.
  state.NextPresentNs =
      nowNs + std::clamp(SlowPresentSpacing * tookNs, state.RefreshNs, MaxPresentSpacingNs);
  if (shown) {
    ++state.Presents;
  }
}

void PrintCountsIfDue(Program& p, LoopState& state, int64_t nowNs) {
  if (nowNs < state.NextPrintNs) {
    return;
  }
  std::printf("firings_t=%" PRId64 " firings_h=%" PRId64 " presents=%" PRId64
              " uploaded_px=%" PRId64 "\n",
              state.Firings.CountT, state.Firings.CountH, state.Presents, p.w.UploadedPixels);
  p.w.UploadedPixels = 0;
  std::fflush(stdout);
  state.Firings.CountT = 0;
  state.Firings.CountH = 0;
  state.Presents = 0;
  // Stay on whole seconds unless the program was held up for longer than one.
  state.NextPrintNs += NsPerSecond;
  if (state.NextPrintNs <= nowNs) {
    state.NextPrintNs = nowNs + NsPerSecond;
  }
}

// The moment the loop next has work: a timer firing, a present or a line of counts. The rest of a
// present under way is due at once.
int64_t NextWakeNs(const Program& p, const LoopState& state, const LoopOptions& options) {
  if (PresentUnderWay(p.w)) {
    return 0;
  }
  int64_t wake = std::min(NextFiringNs(state.Firings.ScheduleT, p.timers.t),
                          NextFiringNs(state.Firings.ScheduleH, p.timers.h));
  if (PresentPending(p, state)) {
    wake = std::min(wake, state.NextPresentNs);
  }
  if (options.PrintCounts) {
    wake = std::min(wake, state.NextPrintNs);
  }
  return wake;
}

// Sleeps until `wakeNs` or the next event. Whole milliseconds are spent in SDL's event wait, which
// wakes at once for input; the sub-millisecond rest is a plain sleep, since SDL's timeout only
// counts whole milliseconds. Returns false when an event that arrived ends the program.
bool WaitUntil(Program& p, LoopState& state, int64_t wakeNs) {
  const int64_t now = NowNs();
  if (wakeNs <= now) {
    return true;
  }
  const int64_t waitNs = std::min(wakeNs - now, MaxWaitNs);
  if (waitNs >= NsPerMs) {
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, static_cast<int>(waitNs / NsPerMs)) == 1) {
      return HandleEvent(p, state, event);
    }
    return true;
  }
  std::this_thread::sleep_for(std::chrono::nanoseconds(waitNs));
  return true;
}

}  // namespace

void RunEventLoop(Program& p, const LoopOptions& options) {
  LoopState state;
  state.RefreshNs = RefreshIntervalNs(p.w.Sdl);
  state.NextPresentNs = NowNs();
  state.NextPrintNs = NowNs() + NsPerSecond;

  for (;;) {
    // Input first, so a timer switched on by a key starts its cadence in this same pass.
    if (!HandleEventsIfDue(p, state, NowNs())) {
      return;
    }
    RunDueFirings(*p.world, p.surface, p.timers, state.Firings, NowNs(), MaxCatchUpNs,
                  options.RunTimerHandlers);
    PresentIfDue(p, state, NowNs());
    if (options.PrintCounts) {
      PrintCountsIfDue(p, state, NowNs());
    }

    if (!WaitUntil(p, state, NextWakeNs(p, state, options))) {
      return;
    }
  }
}

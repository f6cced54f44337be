#include "host/host.h"

#include <algorithm>

namespace {

bool PresentUnderWay(const Host& host) {
  return host.NextShown < host.Showing.Count;
}

void PictureLost(Host& host, Program& program) {
  MarkAllToShow(program);
  host.NextShown = host.Showing.Count;
}

// What an event means for the program and the host; device pixels become units at the scale the
// surface has now.
void HandleEvent(Host& host, Program& program, const PlatformEvent& event) {
  switch (event.Kind) {
    case EventKind::Key:
      PressKey(program, event.Code, event.Shift);
      break;
    case EventKind::ButtonReleased:
      ReleaseMouseButton(program, event.Code, event.Shift, PointerToUnits(event.X, host.Area.Scale),
                         PointerToUnits(event.Y, host.Area.Scale));
      ++host.Seeds;
      break;
    case EventKind::Resized:
      host.ResizePending = true;
      host.PendingWidth = std::max(event.Width, 0);
      host.PendingHeight = std::max(event.Height, 0);
      host.PendingScale = std::clamp(event.Scale, Unscaled, LargestScale);
      break;
    case EventKind::PictureLost:
      PictureLost(host, program);
      break;
    case EventKind::RefreshRate:
      // A page woken once a frame presents at every frame, whatever the display's rate.
      if (!host.WokenEachFrame) {
        host.RefreshNs = RefreshIntervalNs(event.Hz);
      }
      break;
    case EventKind::Closed:
      host.Closed = true;
      break;
  }
}

// Reads the events that arrived, in order: at once when the last wait ended for input, and
// otherwise every few milliseconds. Nothing after Escape or the close is acted on.
void ReadInputIfDue(Host& host, Window& w, Program& program) {
  const int64_t now = PlatformNowNs(w);
  if (!host.InputWaiting && now < host.NextInputNs) {
    return;
  }
  host.InputWaiting = false;
  host.NextInputNs = now + InputIntervalNs;
  PlatformEvent event;
  while (!HostFinished(host, program) && PlatformNextEvent(w, event)) {
    HandleEvent(host, program, event);
  }
}

// The last client size reported becomes the current one, with what of it the surface does not
// reach.
void ApplyPendingSize(Host& host, Window& w, const Surface& surface) {
  host.ResizePending = false;
  ClientArea& area = host.Area;
  area.Width = host.PendingWidth;
  area.Height = host.PendingHeight;
  area.Scale = host.PendingScale;
  const int right = std::min(FirstPixelOfUnit(surface.Width, area.Scale), area.Width);
  const int bottom = std::min(FirstPixelOfUnit(surface.Height, area.Scale), area.Height);
  area.Beside = {right, 0, area.Width - right, area.Height};
  area.Below = {0, bottom, right, area.Height - bottom};
  PlatformResized(w, area, surface);
}

// A storm of resizes costs one: the surface and the layer's buffers follow the last size of the
// pass, and the whole picture waits for the present cadence like any other present.
void ApplyResizeIfPending(Host& host, Window& w, Program& program) {
  if (!host.ResizePending) {
    return;
  }
  // When memory runs out the surface keeps its old size and is shown in part, or with black beside
  // it.
  ResizeProgram(program, UnitsShownOn(host.PendingWidth, host.PendingScale),
                UnitsShownOn(host.PendingHeight, host.PendingScale));
  ApplyPendingSize(host, w, program.surface);
  PictureLost(host, program);
}

// Hands the layer the next part of the present under way: whole rows of the rectangles' units, up
// to PartPixels device pixels (or one row, where a row alone is more). Returns false when the layer
// could not show it.
bool ShowNextPart(Host& host, Window& w, Program& program) {
  host.PartCount = 0;
  int64_t pixels = 0;
  const int scale = host.Area.Scale;
  // The most device pixels a row of units covers at this scale.
  const int rowHeight = FirstPixelOfUnit(1, scale);
  while (PresentUnderWay(host) && host.PartCount < MaxChangedRects && pixels < host.PartPixels) {
    UnitRect& rest = host.Showing.Rects[static_cast<size_t>(host.NextShown)];
    const PixelRect firstRow = PixelsOfUnits({rest.X, rest.Y, rest.Width, 1}, scale);
    const int64_t rowPixels = std::max<int64_t>(int64_t{firstRow.Width} * rowHeight, 1);
    const int64_t fit = (host.PartPixels - pixels) / rowPixels;
    if (fit == 0 && host.PartCount > 0) {
      break;
    }
    const auto rows = static_cast<int>(std::clamp<int64_t>(fit, 1, rest.Height));
    const PixelRect shown = PixelsOfUnits({rest.X, rest.Y, rest.Width, rows}, scale);
    host.Part[static_cast<size_t>(host.PartCount++)] = shown;
    pixels += int64_t{shown.Width} * shown.Height;
    rest.Y += rows;
    rest.Height -= rows;
    if (rest.Height == 0) {
      ++host.NextShown;
    }
  }
  if (host.PartCount == 0) {
    return true;
  }
  if (!PlatformPresent(w, host.Area, program.surface, host.Part.data(), host.PartCount)) {
    PictureLost(host, program);
    return false;
  }
  host.PresentedPixels += pixels;
  return true;
}

// Starts a present at most once per refresh of the display (host/pacing.h), when something was
// drawn and the window can be seen; a present under way shows its next part in every pass, after
// the timers have had their turn.
void PresentIfDue(Host& host, Window& w, Program& program) {
  if (PresentUnderWay(host)) {
    ShowNextPart(host, w, program);
    return;
  }
  const int64_t start = PlatformNowNs(w);
  if (start < host.NextPresentNs || !HasChanges(program) || !PlatformShowing(w)) {
    return;
  }
  TakeChanges(program, host.Showing);
  host.NextShown = 0;
  if (ShowNextPart(host, w, program)) {
    ++host.Presents;
    ++host.AllPresents;
  }
  host.NextPresentNs = NextPresentNs(start, PlatformNowNs(w) - start, host.RefreshNs);
}

// The measuring builds' line of counts, once a second; the counts start again from zero.
void PrintCountsIfDue(Host& host, Program& program, int64_t now) {
  if (host.PrintCounts == nullptr || now < host.NextPrintNs) {
    return;
  }
  host.PrintCounts(host, program);
  program.Firings.CountT = 0;
  program.Firings.CountH = 0;
  host.Presents = 0;
  host.PresentedPixels = 0;
  // Whole seconds apart, unless the program was held up for longer than one.
  host.NextPrintNs += NsPerSecond;
  if (host.NextPrintNs <= now) {
    host.NextPrintNs = now + NsPerSecond;
  }
}

}  // namespace

void LoadHost(Host& host, Window& w, Program& program) {
  const PlatformState state = PlatformDescribe(w);
  // A page woken by the browser once a frame catches up a frame's worth of firings, and presents
  // at every frame, however long the last present took.
  host.WokenEachFrame = state.WokenEachFrame;
  host.MaxCatchUpNs = state.WokenEachFrame ? FrameCatchUpNs : ::MaxCatchUpNs;
  host.RefreshNs = state.WokenEachFrame ? 0 : RefreshIntervalNs(state.RefreshHz);
  host.PartPixels = state.PresentsWhole ? INT64_MAX : DefaultPartPixels;
  HandleEvent(host, program, ResizeEvent(state.Width, state.Height, state.Scale));
  LoadProgram(program, UnitsShownOn(host.PendingWidth, host.PendingScale),
              UnitsShownOn(host.PendingHeight, host.PendingScale));
  ApplyPendingSize(host, w, program.surface);
  const int64_t now = PlatformNowNs(w);
  host.NextInputNs = now;
  host.NextPresentNs = now;
  host.NextPrintNs = now + NsPerSecond;
}

void RunHostPass(Host& host, Window& w, Program& program) {
  // The firings that fell due while the host slept run before the input that woke it, in the order
  // a timer firing every millisecond would have given them; then the firings again, so that a
  // timer switched on by a key starts its cadence in this same pass.
  RunDueFirings(program, PlatformNowNs(w), host.MaxCatchUpNs);
  ReadInputIfDue(host, w, program);
  // After Escape nothing more runs, is drawn or is shown.
  if (HostFinished(host, program)) {
    return;
  }
  ApplyResizeIfPending(host, w, program);
  RunDueFirings(program, PlatformNowNs(w), host.MaxCatchUpNs);
  PresentIfDue(host, w, program);
  PrintCountsIfDue(host, program, PlatformNowNs(w));
}

bool HostFinished(const Host& host, const Program& program) {
  return host.Closed || program.Ended;
}

int64_t HostWakeNs(const Host& host, Window& w, const Program& program) {
  const int64_t firing = NextFiringNs(program);
  if (host.ResizePending || PresentUnderWay(host) || firing == INT64_MIN) {
    return INT64_MIN;
  }
  // Firings are not woken for one by one: they run together when the next present can show what
  // they drew (at the next refresh, when the last one drew nothing to show), and while nothing can
  // be shown, just before the lag would be too long to catch up.
  const bool showing = PlatformShowing(w);
  int64_t wake = INT64_MAX;
  if (firing != INT64_MAX) {
    const int64_t now = PlatformNowNs(w);
    const int64_t refresh = host.NextPresentNs > now ? host.NextPresentNs : now + host.RefreshNs;
    const int64_t latest = firing + host.MaxCatchUpNs / 2;
    wake = showing ? std::clamp(refresh, firing, latest) : latest;
  }
  if (HasChanges(program) && showing) {
    wake = std::min(wake, host.NextPresentNs);
  }
  if (host.PrintCounts != nullptr) {
    wake = std::min(wake, host.NextPrintNs);
  }
  return wake;
}

namespace {

// A pass the layer runs: its input is read at once.
bool RunPassForLayer(void* context) {
  Host& host = *static_cast<Host*>(context);
  host.InputWaiting = true;
  RunHostPass(host, *host.RunWindow, *host.RunProgram);
  return !HostFinished(host, *host.RunProgram);
}

}  // namespace

void RunHost(Host& host, Window& w, Program& program) {
  host.RunWindow = &w;
  host.RunProgram = &program;
  PlatformTakePass(w, {RunPassForLayer, &host});
  if (host.WokenEachFrame) {
    return;
  }
  for (;;) {
    RunHostPass(host, w, program);
    if (HostFinished(host, program)) {
      return;
    }
    const int64_t now = PlatformNowNs(w);
    const int64_t wake = std::min(HostWakeNs(host, w, program), now + MaxWaitNs);
    if (wake > now && PlatformWait(w, wake)) {
      host.InputWaiting = true;
    }
  }
}

void PushEvent(EventQueue& queue, const PlatformEvent& event) {
  const size_t capacity = queue.Events.size();
  const size_t end = static_cast<size_t>(queue.First) + static_cast<size_t>(queue.Count);
  // Of client sizes reported one after another only the last counts, so they take one place.
  PlatformEvent& last = queue.Events[(end + capacity - 1) % capacity];
  if (queue.Count > 0 && event.Kind == EventKind::Resized && last.Kind == EventKind::Resized) {
    last = event;
    return;
  }
  if (queue.Count == static_cast<int>(capacity)) {
    return;
  }
  queue.Events[end % capacity] = event;
  ++queue.Count;
}

bool PopEvent(EventQueue& queue, PlatformEvent& event) {
  if (queue.Count == 0) {
    return false;
  }
  event = queue.Events[static_cast<size_t>(queue.First)];
  queue.First = (queue.First + 1) % static_cast<int>(queue.Events.size());
  --queue.Count;
  return true;
}

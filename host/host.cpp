#include "host/host.h"

#include <algorithm>

namespace {

bool PresentUnderWay(const Host& host) {
  return host.NextShown < host.Showing.Count;
}

// Reads the input that arrived: at once when the last wait ended for it, and otherwise every few
// milliseconds.
void ReadInputIfDue(Host& host, Window& w, Program& program) {
  const int64_t now = PlatformNowNs(w);
  if (!host.InputWaiting && now < host.NextInputNs) {
    return;
  }
  host.InputWaiting = false;
  host.NextInputNs = now + InputIntervalNs;
  if (!PlatformReadInput(w, host, program)) {
    host.Closed = true;
  }
}

// The last client size reported becomes the current one.
void TakePendingSize(Host& host) {
  host.ResizePending = false;
  host.PixelWidth = host.PendingWidth;
  host.PixelHeight = host.PendingHeight;
  host.Scale = host.PendingScale;
}

// A storm of resizes costs one: the surface and the layer's buffers follow the last size of the
// pass, and the whole picture waits for the present cadence like any other present.
void ApplyResizeIfPending(Host& host, Window& w, Program& program) {
  if (!host.ResizePending) {
    return;
  }
  TakePendingSize(host);
  // When memory runs out the surface keeps its old size and is shown in part, or with black beside
  // it.
  ResizeProgram(program, UnitsShownOn(host.PixelWidth, host.Scale),
                UnitsShownOn(host.PixelHeight, host.Scale));
  PlatformResized(w, host, program.surface);
  HostPictureLost(host, program);
}

// Hands the layer the next part of the present under way: whole rows of the rectangles' units, up
// to PartPixels device pixels (or one row, where a row alone is more). Returns false when the layer
// could not show it.
bool ShowNextPart(Host& host, Window& w, Program& program) {
  ChangedRects& part = host.Part;
  part.Count = 0;
  int64_t pixels = 0;
  // The most device pixels a row of units covers at this scale.
  const int rowHeight = FirstPixelOfUnit(1, host.Scale);
  while (PresentUnderWay(host) && part.Count < MaxChangedRects && pixels < host.PartPixels) {
    UnitRect& rest = host.Showing.Rects[static_cast<size_t>(host.NextShown)];
    const PixelRect firstRow = PixelsOfUnits({rest.X, rest.Y, rest.Width, 1}, host.Scale);
    const int64_t rowPixels = std::max<int64_t>(int64_t{firstRow.Width} * rowHeight, 1);
    const int64_t fit = (host.PartPixels - pixels) / rowPixels;
    if (fit == 0 && part.Count > 0) {
      break;
    }
    const auto rows = static_cast<int>(std::clamp<int64_t>(fit, 1, rest.Height));
    const UnitRect shown{rest.X, rest.Y, rest.Width, rows};
    part.Rects[static_cast<size_t>(part.Count++)] = shown;
    const PixelRect shownPixels = PixelsOfUnits(shown, host.Scale);
    pixels += int64_t{shownPixels.Width} * shownPixels.Height;
    rest.Y += rows;
    rest.Height -= rows;
    if (rest.Height == 0) {
      ++host.NextShown;
    }
  }
  if (part.Count == 0) {
    return true;
  }
  if (!PlatformPresent(w, host, program.surface, part.Rects.data(), part.Count)) {
    HostPictureLost(host, program);
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
  TakePendingSize(host);
  LoadProgram(program, UnitsShownOn(host.PixelWidth, host.Scale),
              UnitsShownOn(host.PixelHeight, host.Scale));
  PlatformResized(w, host, program.surface);
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
  if (host.Closed || program.Ended) {
    return;
  }
  ApplyResizeIfPending(host, w, program);
  RunDueFirings(program, PlatformNowNs(w), host.MaxCatchUpNs);
  PresentIfDue(host, w, program);
  PrintCountsIfDue(host, program, PlatformNowNs(w));
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

void HostResized(Host& host, int pixelWidth, int pixelHeight, int scale) {
  host.ResizePending = true;
  host.PendingWidth = std::max(pixelWidth, 0);
  host.PendingHeight = std::max(pixelHeight, 0);
  host.PendingScale = std::clamp(scale, Unscaled, LargestScale);
}

void HostPictureLost(Host& host, Program& program) {
  MarkAllToShow(program);
  host.NextShown = host.Showing.Count;
}

void HostRefreshRate(Host& host, int hz) {
  host.RefreshNs = RefreshIntervalNs(hz);
}

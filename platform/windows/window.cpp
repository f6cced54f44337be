#include "platform/windows/window.h"

#include <algorithm>
#include <cstddef>

// After windows.h (which window.h includes), which it builds on.
#include <mmsystem.h>

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

namespace {

constexpr wchar_t WindowClass[] = L"GravityForm";
constexpr DWORD Style = WS_OVERLAPPEDWINDOW;
constexpr int IconResource = 1;  // packaging/windows/gravity.rc.in

// The DPI functions of Windows 10 1607 and later, looked up at run time so the program still
// starts, unscaled, where they are missing.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

template <typename Fn>
Fn User32Function(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  FARPROC proc = user32 != nullptr ? GetProcAddress(user32, name) : nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

UINT WindowDpi(HWND window) {
  static const auto getDpi = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  const UINT dpi = getDpi != nullptr ? getDpi(window) : 0;
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// The whole window's size for a client area of width x height device pixels at `dpi`.
SIZE OuterSize(int width, int height, UINT dpi) {
  static const auto adjust = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
  RECT rect{0, 0, width, height};
  if (adjust == nullptr || adjust(&rect, Style, FALSE, 0, dpi) == 0) {
    AdjustWindowRectEx(&rect, Style, FALSE, 0);
  }
  return {rect.right - rect.left, rect.bottom - rect.top};
}

// The client area, in device pixels, and its scale.
PlatformEvent ClientSize(const Window& w) {
  RECT client{};
  GetClientRect(w.Handle, &client);
  return ResizeEvent(client.right, client.bottom, ScaleForDpi(WindowDpi(w.Handle)));
}

// A high-resolution timer where Windows has them, else an ordinary one with the system's timer
// resolution raised to 1 ms for as long as the program runs.
HANDLE CreateCadenceTimer() {
  HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                        TIMER_ALL_ACCESS);
  if (timer == nullptr) {
    timeBeginPeriod(1);
    timer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
  }
  return timer;
}

bool DibMatches(const Window& w, const Surface& surface) {
  return w.Dib != nullptr && w.DibWidth == surface.Width && w.DibHeight == surface.Height;
}

}  // namespace

bool OpenWindow(Window& w) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  // No CS_HREDRAW or CS_VREDRAW: a resize repaints only what it uncovers.
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IconResource));
  windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IconResource),
                                                      IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                      GetSystemMetrics(SM_CYSMICON), 0));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = WindowClass;
  if (RegisterClassExW(&windowClass) == 0) {
    return false;
  }
  w.Handle = CreateWindowExW(0, WindowClass, nullptr, Style, CW_USEDEFAULT, CW_USEDEFAULT,
                             StartWidth, StartHeight, nullptr, nullptr, instance, &w);
  w.MemoryDc = CreateCompatibleDC(nullptr);
  w.Timer = CreateCadenceTimer();
  if (w.Handle == nullptr || w.MemoryDc == nullptr) {
    return false;
  }
  w.FirstBitmap = GetCurrentObject(w.MemoryDc, OBJ_BITMAP);
  SetWindowTextA(w.Handle, Caption);  // plain ASCII

  // Sized only now, for the density of the monitor Windows placed it on.
  const UINT dpi = WindowDpi(w.Handle);
  const PixelRect design = DesignPixels(ScaleForDpi(dpi));
  const SIZE outer = OuterSize(design.Width, design.Height, dpi);
  SetWindowPos(w.Handle, nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

PlatformState PlatformDescribe(Window& w) {
  w.Events = {};  // what came while the window was made is all said here
  const PlatformEvent size = ClientSize(w);
  return {.RefreshHz = DisplayRefreshHz(w),
          .Width = size.Width,
          .Height = size.Height,
          .Scale = size.Scale};
}

void QueueClientSize(Window& w) {
  // Minimised, the client area is 0 x 0: the surface keeps its size for the restore.
  if (IsIconic(w.Handle) == 0) {
    PushEvent(w.Events, ClientSize(w));
  }
}

int DisplayRefreshHz(const Window& w) {
  const HDC dc = GetDC(w.Handle);
  const int hz = dc != nullptr ? GetDeviceCaps(dc, VREFRESH) : 0;
  if (dc != nullptr) {
    ReleaseDC(w.Handle, dc);
  }
  // Windows says 0 or 1 for the hardware's default.
  return hz > 1 ? hz : 0;
}

namespace {

void ResizeDib(Window& w, const Surface& surface) {
  if (DibMatches(w, surface)) {
    return;
  }
  if (w.Dib != nullptr) {
    SelectObject(w.MemoryDc, w.FirstBitmap);
    DeleteObject(w.Dib);
  }
  w.Dib = nullptr;
  w.DibPixels = nullptr;
  w.DibWidth = 0;
  w.DibHeight = 0;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = surface.Width;
  info.bmiHeader.biHeight = -surface.Height;  // top-down, like the surface
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  // Its memory comes zeroed, that is black: nothing is filled here, however large.
  w.Dib = surface.Width > 0 && surface.Height > 0
              ? CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)
              : nullptr;
  if (w.Dib == nullptr) {
    return;
  }
  SelectObject(w.MemoryDc, w.Dib);
  w.DibPixels = static_cast<uint32_t*>(bits);
  w.DibWidth = surface.Width;
  w.DibHeight = surface.Height;
}

}  // namespace

// What lies beyond the surface is painted black by Windows, with the class's brush.
void PlatformResized(Window& w, const ClientArea& area, const Surface& surface) {
  ResizeDib(w, surface);
  for (const PixelRect& beyond : {area.Beside, area.Below}) {
    const RECT rect{beyond.X, beyond.Y, beyond.X + beyond.Width, beyond.Y + beyond.Height};
    InvalidateRect(w.Handle, &rect, TRUE);
  }
}

bool PlatformShowing(Window& w) {
  return IsIconic(w.Handle) == 0;
}

bool PlatformPresent(Window& w, const ClientArea& area, const Surface& surface,
                     const PixelRect* rects, int count) {
  if (!DibMatches(w, surface)) {
    return false;
  }
  const HDC target = GetDC(w.Handle);
  if (target == nullptr) {
    return false;
  }
  SetStretchBltMode(target, COLORONCOLOR);
  for (int i = 0; i < count; ++i) {
    // Nearest neighbour, so a dense screen shows every unit as a crisp block of device pixels.
    const PixelRect& to = rects[i];
    const UnitRect from = UnitsOfPixels(to, area.Scale);
    // The DIB holds the surface's units, blue first.
    ScaleToPixels(surface, {from.X, from.Y, from.Width, from.Height}, Unscaled,
                  w.DibPixels + static_cast<ptrdiff_t>(from.Y) * w.DibWidth + from.X,
                  static_cast<size_t>(w.DibWidth), true);
    if (to.Width == from.Width && to.Height == from.Height) {
      BitBlt(target, to.X, to.Y, to.Width, to.Height, w.MemoryDc, from.X, from.Y, SRCCOPY);
    } else {
      StretchBlt(target, to.X, to.Y, to.Width, to.Height, w.MemoryDc, from.X, from.Y, from.Width,
                 from.Height, SRCCOPY);
    }
  }
  ReleaseDC(w.Handle, target);
  return true;
}

#include "platform/windows/window.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

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

// Device pixels for `units` surface units, rounded up so the surface fits whole.
int DeviceFor(const Window& w, int units) {
  return static_cast<int>(std::ceil(static_cast<float>(units) * w.Scale));
}

// Where the surface's column or row `unit` begins on the client area.
int DeviceAt(const Window& w, int unit) {
  return static_cast<int>(std::floor(static_cast<float>(unit) * w.Scale));
}

void FreeDib(Window& w) {
  if (w.Dib != nullptr) {
    SelectObject(w.MemoryDc, w.FirstBitmap);
    DeleteObject(w.Dib);
  }
  w.Dib = nullptr;
  w.DibPixels = nullptr;
  w.DibWidth = 0;
  w.DibHeight = 0;
}

// Shows the DIB's rectangle (in surface units) at its place on the client area. Nearest
// neighbour, so a dense screen shows every surface unit as a crisp block of device pixels.
void ShowRect(const Window& w, HDC target, const PixelRect& rect) {
  const int left = DeviceAt(w, rect.X);
  const int top = DeviceAt(w, rect.Y);
  const int width = DeviceAt(w, rect.X + rect.Width) - left;
  const int height = DeviceAt(w, rect.Y + rect.Height) - top;
  if (width == rect.Width && height == rect.Height) {
    BitBlt(target, left, top, width, height, w.MemoryDc, rect.X, rect.Y, SRCCOPY);
  } else {
    StretchBlt(target, left, top, width, height, w.MemoryDc, rect.X, rect.Y, rect.Width,
               rect.Height, SRCCOPY);
  }
}

// Copies the rectangle from the surface (R, G, B, 0 in memory) into the DIB (B, G, R, 0).
void CopyToDib(Window& w, const Surface& surface, const PixelRect& rect) {
  for (int y = rect.Y; y < rect.Y + rect.Height; ++y) {
    const Colour* from = surface.Pixels.data() + static_cast<ptrdiff_t>(y) * surface.Width;
    uint32_t* to = w.DibPixels + static_cast<ptrdiff_t>(y) * w.DibWidth;
    for (int x = rect.X; x < rect.X + rect.Width; ++x) {
      const Colour c = from[x];
      to[x] = ((c & 0xFFU) << 16) | (c & 0xFF00U) | ((c >> 16) & 0xFFU);
    }
  }
}

}  // namespace

bool OpenWindow(Window& w, WNDPROC windowProc, void* userData) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  // No CS_HREDRAW or CS_VREDRAW: a resize repaints only what it uncovers.
  windowClass.lpfnWndProc = windowProc;
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
  w.Handle = CreateWindowExW(0, WindowClass, Caption, Style, CW_USEDEFAULT, CW_USEDEFAULT,
                             StartWidth, StartHeight, nullptr, nullptr, instance, userData);
  w.MemoryDc = CreateCompatibleDC(nullptr);
  if (w.Handle == nullptr || w.MemoryDc == nullptr) {
    return false;
  }
  w.FirstBitmap = GetCurrentObject(w.MemoryDc, OBJ_BITMAP);

  // Sized only now, for the density of the monitor Windows placed it on.
  w.Dpi = WindowDpi(w.Handle);
  w.Scale = static_cast<float>(w.Dpi) / static_cast<float>(USER_DEFAULT_SCREEN_DPI);
  const SIZE outer = OuterSize(DeviceFor(w, StartWidth), DeviceFor(w, StartHeight), w.Dpi);
  SetWindowPos(w.Handle, nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ReadWindowSize(w);
  return true;
}

void ReadWindowSize(Window& w) {
  w.Dpi = WindowDpi(w.Handle);
  w.Scale = static_cast<float>(w.Dpi) / static_cast<float>(USER_DEFAULT_SCREEN_DPI);
  RECT client{};
  GetClientRect(w.Handle, &client);
  w.ClientWidth = client.right;
  w.ClientHeight = client.bottom;
}

int SurfaceWidthOf(const Window& w) {
  return static_cast<int>(std::floor(static_cast<float>(w.ClientWidth) / w.Scale));
}

int SurfaceHeightOf(const Window& w) {
  return static_cast<int>(std::floor(static_cast<float>(w.ClientHeight) / w.Scale));
}

bool MatchDibToSurface(Window& w, Program& program) {
  const Surface& surface = program.surface;
  if (w.Dib == nullptr || w.DibWidth != surface.Width || w.DibHeight != surface.Height) {
    FreeDib(w);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = surface.Width;
    info.bmiHeader.biHeight = -surface.Height;  // top-down, like the surface
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    w.Dib = surface.Width > 0 && surface.Height > 0
                ? CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                : nullptr;
    if (w.Dib == nullptr) {
      return false;
    }
    SelectObject(w.MemoryDc, w.Dib);
    w.DibPixels = static_cast<uint32_t*>(bits);
    w.DibWidth = surface.Width;
    w.DibHeight = surface.Height;
  }
  MarkAllToShow(program);
  return PresentChanges(w, program);
}

bool PresentChanges(Window& w, Program& program) {
  const Surface& surface = program.surface;
  if (w.Dib == nullptr || w.DibWidth != surface.Width || w.DibHeight != surface.Height) {
    return false;
  }
  TakeChanges(program, w.Changed);
  const HDC target = GetDC(w.Handle);
  if (target == nullptr) {
    MarkAllToShow(program);
    return false;
  }
  SetStretchBltMode(target, COLORONCOLOR);
  for (int i = 0; i < w.Changed.Count; ++i) {
    const PixelRect& rect = w.Changed.Rects[static_cast<size_t>(i)];
    CopyToDib(w, surface, rect);
    ShowRect(w, target, rect);
    w.UploadedPixels += static_cast<int64_t>(rect.Width) * rect.Height;
  }
  ReleaseDC(w.Handle, target);
  return true;
}

void PaintWindow(Window& w) {
  PAINTSTRUCT paint{};
  const HDC target = BeginPaint(w.Handle, &paint);
  if (target == nullptr) {
    return;
  }
  SetStretchBltMode(target, COLORONCOLOR);
  // Black first wherever the surface does not reach (beyond its largest side, or when memory ran
  // out for a larger one), then the last picture shown.
  const int right = DeviceAt(w, w.DibWidth);
  const int bottom = DeviceAt(w, w.DibHeight);
  const auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  const RECT besides{right, 0, std::max(right, w.ClientWidth), w.ClientHeight};
  const RECT below{0, bottom, right, std::max(bottom, w.ClientHeight)};
  FillRect(target, &besides, black);
  FillRect(target, &below, black);
  if (w.Dib != nullptr) {
    ShowRect(w, target, {0, 0, w.DibWidth, w.DibHeight});
  }
  EndPaint(w.Handle, &paint);
}

float DeviceToSurface(const Window& w, int device) {
  return static_cast<float>(device) / w.Scale;
}

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "commands/handle_key.h"
#include "host/host.h"
#include "platform/desktop/key_codes.h"
#include "platform/desktop/window.h"
#include "platform/key_table.h"
#include "platform/web/web_keys.h"
#include "view/surface.h"

// Which key runs which command: both Enters, the arrows also on the keypad without NumLock, and
// plus and minus on the keypad only.
TEST(KeyCodes, CommandKeysReachTheirCommands) {
  struct Case {
    SDL_Keycode Key;
    bool NumLock;
    int16_t Command;
  };
  const Case cases[] = {
      {SDLK_RETURN, true, KeyEnter},
      {SDLK_KP_ENTER, false, KeyEnter},
      {SDLK_ESCAPE, true, KeyEscape},
      {SDLK_SPACE, true, KeySpace},
      {SDLK_PAGEUP, true, KeyPageUp},
      {SDLK_KP_9, false, KeyPageUp},
      {SDLK_PAGEDOWN, true, KeyPageDown},
      {SDLK_KP_3, false, KeyPageDown},
      {SDLK_LEFT, true, KeyLeft},
      {SDLK_KP_4, false, KeyLeft},
      {SDLK_UP, true, KeyUp},
      {SDLK_KP_8, false, KeyUp},
      {SDLK_RIGHT, true, KeyRight},
      {SDLK_KP_6, false, KeyRight},
      {SDLK_DOWN, true, KeyDown},
      {SDLK_KP_2, false, KeyDown},
      {SDLK_t, true, KeyT},
      {'T', true, KeyT},
      {SDLK_KP_PLUS, false, KeyPadPlus},
      {SDLK_KP_MINUS, true, KeyPadMinus},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VirtualKeyCode(c.Key, c.NumLock), c.Command) << SDL_GetKeyName(c.Key);
  }
  EXPECT_FALSE(IsCommandKey(VirtualKeyCode(SDLK_PLUS)));
  EXPECT_FALSE(IsCommandKey(VirtualKeyCode(SDLK_MINUS)));
  EXPECT_FALSE(IsCommandKey(VirtualKeyCode(SDLK_KP_5, false)));
}

// Every other key: the desktop gives the code the browser gives the same key (the key table's own
// test pins those), in either case, on the keypad with NumLock on and off.
TEST(KeyCodes, EveryKeyGetsTheCodeThePageGivesTheSameKey) {
  struct Case {
    SDL_Keycode Key;
    bool NumLock;
    const char* WebKey;
    const char* WebCode;
  };
  const Case cases[] = {
      {SDLK_a, true, "a", "KeyA"},
      {'A', true, "A", "KeyA"},
      {SDLK_z, true, "z", "KeyZ"},
      {SDLK_0, true, "0", "Digit0"},
      {SDLK_9, true, "9", "Digit9"},
      {SDLK_BACKSPACE, true, "Backspace", "Backspace"},
      {SDLK_TAB, true, "Tab", "Tab"},
      {SDLK_END, true, "End", "End"},
      {SDLK_HOME, true, "Home", "Home"},
      {SDLK_INSERT, true, "Insert", "Insert"},
      {SDLK_DELETE, true, "Delete", "Delete"},
      {SDLK_F1, true, "F1", "F1"},
      {SDLK_F12, true, "F12", "F12"},
      {SDLK_LSHIFT, true, "Shift", "ShiftLeft"},
      {SDLK_RSHIFT, true, "Shift", "ShiftRight"},
      {SDLK_RCTRL, true, "Control", "ControlRight"},
      {SDLK_LALT, true, "Alt", "AltLeft"},
      {SDLK_KP_MULTIPLY, true, "*", "NumpadMultiply"},
      {SDLK_KP_DIVIDE, true, "/", "NumpadDivide"},
      {SDLK_KP_0, true, "0", "Numpad0"},
      {SDLK_KP_1, true, "1", "Numpad1"},
      {SDLK_KP_5, true, "5", "Numpad5"},
      {SDLK_KP_9, true, "9", "Numpad9"},
      {SDLK_KP_PERIOD, true, ".", "NumpadDecimal"},
      {SDLK_KP_0, false, "Insert", "Numpad0"},
      {SDLK_KP_1, false, "End", "Numpad1"},
      {SDLK_KP_5, false, "Clear", "Numpad5"},
      {SDLK_KP_7, false, "Home", "Numpad7"},
      {SDLK_KP_PERIOD, false, "Delete", "NumpadDecimal"},
  };
  for (const Case& c : cases) {
    const WebKey web = DescribeWebKey(c.WebKey, c.WebCode);
    const int16_t code = VirtualKeyCode(c.Key, c.NumLock);
    EXPECT_EQ(code, KeyCodeForLabel(web.Label, web.NumLock)) << c.WebKey << " " << c.WebCode;
    EXPECT_NE(code, 0) << c.WebKey << " " << c.WebCode;
  }
}

TEST(KeyCodes, UnknownKeysGiveTheUnusedCode) {
  const SDL_Keycode unknown[] = {SDLK_UNKNOWN,   SDLK_F13,      SDLK_MUTE,
                                 SDLK_KP_EQUALS, SDLK_CAPSLOCK, SDLK_LGUI,
                                 SDLK_PLUS,      0x7fffffff,    -1};
  for (const SDL_Keycode key : unknown) {
    EXPECT_EQ(VirtualKeyCode(key), 0) << key;
  }
}

TEST(ShiftState, ModifiersAddUpLeftOrRight) {
  EXPECT_EQ(ShiftState(KMOD_NONE), 0);
  EXPECT_EQ(ShiftState(KMOD_LSHIFT), 1);
  EXPECT_EQ(ShiftState(KMOD_RSHIFT), 1);
  EXPECT_EQ(ShiftState(KMOD_RCTRL), 2);
  EXPECT_EQ(ShiftState(KMOD_LALT), 4);
  EXPECT_EQ(ShiftState(KMOD_LSHIFT | KMOD_RCTRL | KMOD_RALT), 7);
  // Lock keys are not shift state.
  EXPECT_EQ(ShiftState(KMOD_NUM | KMOD_CAPS), 0);
}

TEST(MouseButtons, EveryButtonHasItsOwnCode) {
  EXPECT_EQ(MouseButtonCode(MouseButtonOf(SDL_BUTTON_LEFT)), 1);
  EXPECT_EQ(MouseButtonCode(MouseButtonOf(SDL_BUTTON_RIGHT)), 2);
  EXPECT_EQ(MouseButtonCode(MouseButtonOf(SDL_BUTTON_MIDDLE)), 4);
  EXPECT_EQ(MouseButtonCode(MouseButtonOf(SDL_BUTTON_X1)), 8);
  EXPECT_EQ(MouseButtonCode(MouseButtonOf(SDL_BUTTON_X2)), 16);
  EXPECT_EQ(MouseButtonCode(MouseButtonOf(9)), 0);
}

// The window layer on SDL's in-memory display, driven by the host as the program drives it: no
// screen needed, but the same SDL surfaces, pixel formats, blits and events as on a desktop.
class WindowOnMemoryDisplay : public ::testing::Test {
 protected:
  void SetUp() override { Open(PresentPath::WindowPixels); }
  void TearDown() override {
    CloseWindow(w);
    unsetenv("SDL_VIDEODRIVER");
  }

  void Open(PresentPath path) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    program = std::make_unique<Program>();
    // The surface holds only what the test draws.
    program->timers.t.Enabled = false;
    host = std::make_unique<Host>();
    ASSERT_TRUE(OpenWindow(w, path)) << SDL_GetError();
    LoadHost(*host, w, *program);
  }

  void Reopen(PresentPath path) {
    CloseWindow(w);
    w = Window{};
    Open(path);
  }

  Surface& surface() { return program->surface; }

  // The colour the window's pixels hold at (x, y), as r + 256 g + 65536 b.
  Colour Shown(int x, int y) const {
    const auto* row =
        static_cast<const uint8_t*>(w.Target->pixels) + static_cast<ptrdiff_t>(y) * w.Target->pitch;
    Uint32 pixel = 0;
    std::memcpy(&pixel, row + static_cast<ptrdiff_t>(x) * w.Target->format->BytesPerPixel,
                w.Target->format->BytesPerPixel);
    Uint8 r = 0;
    Uint8 g = 0;
    Uint8 b = 0;
    SDL_GetRGB(pixel, w.Target->format, &r, &g, &b);
    return RGB(r, g, b);
  }

  // The colour the renderer shows at (x, y).
  Colour Rendered(int x, int y) const {
    const SDL_Rect pixel{x, y, 1, 1};
    Colour colour = 0;
    SDL_RenderReadPixels(w.Renderer, &pixel, SDL_PIXELFORMAT_XBGR8888, &colour, 4);
    return colour & 0xFFFFFFU;
  }

  // One host pass, with the input read and the present due whatever the clock says.
  void Pass() {
    host->InputWaiting = true;
    host->NextPresentNs = INT64_MIN;
    RunHostPass(*host, w, *program);
  }

  // Passes until all that was drawn and every event is shown. False when it could not be.
  bool ShowAll() {
    for (int pass = 0; pass < 1000; ++pass) {
      Pass();
      if (!HasChanges(*program) && host->NextShown == host->Showing.Count) {
        return true;
      }
    }
    return false;
  }

  std::unique_ptr<Program> program;
  std::unique_ptr<Host> host;
  Window w;
};

TEST_F(WindowOnMemoryDisplay, OpensAtItsDesignSizeWithCaptionAndBlackSurface) {
  ASSERT_TRUE(ShowAll());
  EXPECT_STREQ(SDL_GetWindowTitle(w.Sdl), "Form1");
  EXPECT_EQ(surface().Width, 626);
  EXPECT_EQ(surface().Height, 549);
  EXPECT_NE(SDL_GetWindowFlags(w.Sdl) & SDL_WINDOW_RESIZABLE, 0U);
  EXPECT_EQ(Shown(0, 0), Black);
  EXPECT_EQ(Shown(625, 548), Black);
}

TEST_F(WindowOnMemoryDisplay, ShowsColoursWithRedGreenAndBlueInTheirPlaces) {
  PSet(surface(), 10, 20, RGB(255, 0, 0));
  PSet(surface(), 11, 20, RGB(0, 255, 0));
  PSet(surface(), 12, 20, RGB(0, 0, 255));
  PSet(surface(), 625, 548, RGB(50, 100, 150));
  ASSERT_TRUE(ShowAll());
  EXPECT_EQ(Shown(10, 20), RGB(255, 0, 0));
  EXPECT_EQ(Shown(11, 20), RGB(0, 255, 0));
  EXPECT_EQ(Shown(12, 20), RGB(0, 0, 255));
  EXPECT_EQ(Shown(625, 548), RGB(50, 100, 150));
  EXPECT_EQ(Shown(13, 20), Black);
}

TEST_F(WindowOnMemoryDisplay, ResizingKeepsTheDrawingAndFollowsTheWindowBothWays) {
  PSet(surface(), 100, 100, White);
  SDL_SetWindowSize(w.Sdl, 800, 700);
  ASSERT_TRUE(ShowAll());
  EXPECT_EQ(surface().Width, 800);
  EXPECT_EQ(surface().Height, 700);
  EXPECT_EQ(PixelAt(surface(), 100, 100), White);
  // The newly uncovered area is drawable and shown like the rest.
  PSet(surface(), 750, 650, White);
  ASSERT_TRUE(ShowAll());
  EXPECT_EQ(Shown(100, 100), White);
  EXPECT_EQ(Shown(750, 650), White);
  EXPECT_EQ(Shown(700, 600), Black);

  SDL_SetWindowSize(w.Sdl, 200, 150);
  PSet(surface(), 199, 149, White);
  ASSERT_TRUE(ShowAll());
  EXPECT_EQ(surface().Width, 200);
  EXPECT_EQ(surface().Height, 150);
  EXPECT_EQ(w.Target->w, 200);
  EXPECT_EQ(Shown(199, 149), White);
  EXPECT_EQ(Shown(100, 100), White);
}

TEST_F(WindowOnMemoryDisplay, PresentingShowsOnlyWhatWasDrawnSinceTheLastPresentInParts) {
  ASSERT_TRUE(ShowAll());
  // A mark in the window's pixels that the surface knows nothing of stays until the surface
  // changes there.
  static_cast<Uint32*>(w.Target->pixels)[300 * w.Target->pitch / 4 + 300] =
      SDL_MapRGB(w.Target->format, 255, 255, 255);
  PSet(surface(), 10, 20, RGB(255, 0, 0));
  ASSERT_TRUE(ShowAll());
  EXPECT_EQ(Shown(10, 20), RGB(255, 0, 0));
  EXPECT_EQ(Shown(300, 300), White);
  // A whole window is shown in parts, top to bottom, with the timers running in between.
  PSet(surface(), 300, 300, White);
  PSet(surface(), 10, 20, White);
  ASSERT_TRUE(ShowAll());
  Cls(surface());
  Pass();
  ASSERT_LT(host->NextShown, host->Showing.Count);
  EXPECT_EQ(Shown(10, 20), Black);
  EXPECT_EQ(Shown(300, 300), White);
  ASSERT_TRUE(ShowAll());
  EXPECT_EQ(Shown(300, 300), Black);
}

TEST_F(WindowOnMemoryDisplay, TheRendererShowsTheWholeSurfaceFromWhatChanged) {
  Reopen(PresentPath::Renderer);
  ASSERT_EQ(w.Path, PresentPath::Renderer);
  PSet(surface(), 10, 20, RGB(255, 0, 0));
  PSet(surface(), 625, 548, RGB(50, 100, 150));
  ASSERT_TRUE(ShowAll());
  EXPECT_EQ(Rendered(10, 20), RGB(255, 0, 0));
  EXPECT_EQ(Rendered(625, 548), RGB(50, 100, 150));
  // Only the changed part is uploaded, yet every present shows the whole surface.
  PSet(surface(), 11, 20, RGB(0, 255, 0));
  ASSERT_TRUE(ShowAll());
  EXPECT_EQ(Rendered(10, 20), RGB(255, 0, 0));
  EXPECT_EQ(Rendered(11, 20), RGB(0, 255, 0));
  EXPECT_EQ(Rendered(625, 548), RGB(50, 100, 150));
}

// On a dense screen a surface unit is a block of device pixels. Every pixel of the window shows
// the unit it lies in, however the picture reached it: in parts, by changed rectangles, across
// presents; and a click lands in the unit under the pointer.
TEST_F(WindowOnMemoryDisplay, DenseScreensShowEachUnitAsABlockOfPixels) {
  const std::vector<float> noChance(1024, 0.0F);
  for (const int scale : {8, 6, 5}) {
    SCOPED_TRACE(scale);
    w.AnnouncedScale = scale;
    SDL_SetWindowSize(w.Sdl, FirstPixelOfUnit(626, scale), FirstPixelOfUnit(549, scale));
    ASSERT_TRUE(ShowAll());
    ASSERT_EQ(surface().Width, 626);
    ASSERT_EQ(surface().Height, 549);
    // Discs, a box and points, drawn and shown in several presents of changed rectangles.
    FillColor(surface(), RGB(200, 40, 90));
    Circle(surface(), 100, 100, 5, RGB(10, 250, 30));
    ASSERT_TRUE(ShowAll());
    Line(surface(), 3, 7, 601, 540, RGB(50, 50, 50));
    PSet(surface(), 625, 548, White);
    ASSERT_TRUE(ShowAll());
    Circle(surface(), 300.5F, 200.25F, 40, RGB(0, 0, 255));
    ASSERT_TRUE(ShowAll());
    for (int y = 0; y < w.Target->h; ++y) {
      for (int x = 0; x < w.Target->w; ++x) {
        ASSERT_EQ(Shown(x, y), PixelAt(surface(), UnitOfPixel(x, scale), UnitOfPixel(y, scale)))
            << x << ", " << y;
      }
    }
    // A release seeds a ring around the pointer; with every draw 0 the first body lies straight
    // below the pointer's unit, 500 world units down, at zoom 1.
    program->random.Script = noChance;
    program->random.Draws = 0;
    SDL_Event release{};
    release.type = SDL_MOUSEBUTTONUP;
    release.button.button = SDL_BUTTON_LEFT;
    release.button.x = FirstPixelOfUnit(100, scale);
    release.button.y = 301;
    ASSERT_EQ(SDL_PushEvent(&release), 1);
    Pass();
    EXPECT_EQ(program->world.PosX[0], 100.0 - 313.0);
    EXPECT_EQ(program->world.PosY[0], 500.0 + PointerToUnits(301, scale) - 274.5);
    program->timers.t.Enabled = false;
  }
}

TEST_F(WindowOnMemoryDisplay, TheRendererScalesTheSurfaceWithoutSmoothing) {
  Reopen(PresentPath::Renderer);
  w.AnnouncedScale = 8;
  SDL_SetWindowSize(w.Sdl, 1252, 1098);
  ASSERT_TRUE(ShowAll());
  ASSERT_EQ(surface().Width, 626);
  PSet(surface(), 10, 20, RGB(255, 0, 0));
  PSet(surface(), 11, 20, RGB(0, 255, 0));
  PSet(surface(), 625, 548, RGB(50, 100, 150));
  ASSERT_TRUE(ShowAll());
  for (const int dy : {0, 1}) {
    for (const int dx : {0, 1}) {
      EXPECT_EQ(Rendered(20 + dx, 40 + dy), RGB(255, 0, 0));
      EXPECT_EQ(Rendered(22 + dx, 40 + dy), RGB(0, 255, 0));
      EXPECT_EQ(Rendered(1250 + dx, 1096 + dy), RGB(50, 100, 150));
    }
  }
  EXPECT_EQ(Rendered(24, 40), Black);
  EXPECT_EQ(Rendered(20, 42), Black);
}

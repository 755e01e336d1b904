#include "visual/fullscreen/sdl_fullscreen_backend.h"

#include <SDL2/SDL.h>

#include <algorithm>

namespace vk2 {
namespace {

// The characters a key gives when the window system does not type them for us (text input is
// off while the GUI layer runs): the keys of a common US layout.
char32_t CharacterOfKey(const SDL_Keysym& key) {
  const bool shift = (key.mod & KMOD_SHIFT) != 0;
  switch (key.sym) {
    case SDLK_ESCAPE:
      return 27;
    // The arrow keys act as the characters their key codes share.
    case SDLK_LEFT:
      return '%';
    case SDLK_RIGHT:
      return '\'';
    case SDLK_UP:
      return '&';
    case SDLK_DOWN:
      return '(';
    case SDLK_KP_PLUS:
      return '+';
    case SDLK_KP_MINUS:
      return '-';
    case SDLK_EQUALS:
      return shift ? '+' : 0;
    case SDLK_5:
      return shift ? '%' : 0;
    case SDLK_7:
      return shift ? '&' : 0;
    case SDLK_9:
      return shift ? '(' : 0;
    case SDLK_QUOTE:
      return shift ? 0 : '\'';
    default:
      break;
  }
  if (shift || key.sym < 32 || key.sym > 126) return 0;
  return static_cast<char32_t>(key.sym);
}

// A display's id: stable as long as the displays keep their order.
Guid DisplayId(int index) {
  Guid id = MakeGuid("5644F0A0-0000-4D15-9B1A-7E0000000000");
  id.data4[7] = static_cast<uint8_t>(index);
  id.data2 = static_cast<uint16_t>(index >> 8);
  return id;
}

// The GUI layer's loop when it runs SDL; null when SDL is free for the caller.
RefPtr<MOmbrixApp> VideoOwner(RefPtr<MOmbrixApp> gui) {
  return gui && SDL_WasInit(SDL_INIT_VIDEO) != 0 ? gui : nullptr;
}

void StartVideo(bool* started) {
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // Leaving full screen or losing focus must not minimise a display the user is watching.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  // The window system's own framebuffer, as the GUI layer's windows use: SDL's accelerated one
  // would load a GL driver for one scaled copy a frame.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  *started = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

// Stops this user's share of SDL's video; the last user of SDL also frees what SDL keeps for
// the whole process (its hints among them).
void ReleaseVideo() {
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  if (SDL_WasInit(0) == 0) SDL_Quit();
}

}  // namespace

SdlFullscreenBackend::SdlFullscreenBackend(RefPtr<MOmbrixApp> gui)
    : video_(VideoOwner(std::move(gui))) {
  const bool alone = SDL_WasInit(SDL_INIT_VIDEO) == 0;
  video_.Run([&] {
    StartVideo(&started_);
    if (started_) SDL_AddEventWatch(&Watch, this);
  });
  ownsEvents_ = alone && video_.InPlace();
}

SdlFullscreenBackend::~SdlFullscreenBackend() {
  Close();
  if (!started_) return;
  video_.Run([&] {
    SDL_DelEventWatch(&Watch, this);
    ReleaseVideo();
  });
}

std::vector<FullscreenMode> SdlFullscreenBackend::Modes(int32_t display) {
  std::vector<FullscreenMode> modes;
  if (!started_) return modes;
  video_.Run([&] {
    if (display < 0 || display >= SDL_GetNumVideoDisplays()) return;
    const int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; ++i) {
      SDL_DisplayMode m;
      if (SDL_GetDisplayMode(display, i, &m) != 0) continue;
      FullscreenMode mode{m.w, m.h, static_cast<int32_t>(SDL_BITSPERPIXEL(m.format))};
      if (std::find(modes.begin(), modes.end(), mode) == modes.end()) modes.push_back(mode);
    }
    SDL_DisplayMode current;
    if (modes.empty() && SDL_GetDesktopDisplayMode(display, &current) == 0) {
      modes.push_back(
          {current.w, current.h, static_cast<int32_t>(SDL_BITSPERPIXEL(current.format))});
    }
  });
  std::stable_sort(modes.begin(), modes.end(),
                   [](const FullscreenMode& a, const FullscreenMode& b) {
                     return int64_t{a.width} * a.height > int64_t{b.width} * b.height;
                   });
  return modes;
}

bool SdlFullscreenBackend::Open(int32_t display, const FullscreenMode& mode, bool switchMode) {
  if (!started_) return false;
  bool opened = false;
  video_.Run([&] { OpenWindow(display, mode, switchMode, &opened); });
  return opened;
}

void SdlFullscreenBackend::OpenWindow(int32_t display, const FullscreenMode& mode, bool switchMode,
                                      bool* opened) {
  if (!window_) {
    SDL_Rect bounds{0, 0, mode.width, mode.height};
    SDL_GetDisplayBounds(display, &bounds);
    window_ = SDL_CreateWindow("FullscreenWindow", bounds.x, bounds.y, bounds.w, bounds.h,
                               SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN);
    if (!window_) return;
    std::lock_guard lock(lock_);
    windowId_ = SDL_GetWindowID(window_);
  }
  if (switchMode) {
    SDL_DisplayMode wanted{};
    wanted.w = mode.width;
    wanted.h = mode.height;
    SDL_DisplayMode closest;
    if (!SDL_GetClosestDisplayMode(display, &wanted, &closest)) return;
    if (SDL_SetWindowDisplayMode(window_, &closest) != 0) return;
    if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) != 0) return;
    switched_ = true;
  } else if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
    return;
  }
  SDL_RaiseWindow(window_);
  SDL_ShowCursor(SDL_DISABLE);
  *opened = true;
}

void SdlFullscreenBackend::Present(const SurfaceView& image) {
  if (!image.bits || image.width <= 0 || image.height <= 0) return;
  video_.Run([&] {
    SDL_Surface* target = window_ ? SDL_GetWindowSurface(window_) : nullptr;
    if (!target) return;
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        image.bits, image.width, image.height, 32, image.strideBytes, SDL_PIXELFORMAT_RGB888);
    if (!source) return;
    // Plug-ins leave the alpha byte 0: the visual's image is opaque whatever it says.
    SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
    SDL_BlitScaled(source, nullptr, target, nullptr);
    SDL_FreeSurface(source);
    SDL_UpdateWindowSurface(window_);
  });
}

bool SdlFullscreenBackend::PollAction(FullscreenAction* action) {
  if (!started_) return false;
  if (ownsEvents_) {
    // Nobody else reads SDL's queue: the watch has seen every event once it is pumped.
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
  } else if (video_.InPlace()) {
    SDL_PumpEvents();
  }
  // Otherwise the GUI layer's loop pumps, and the watch hears the keys there.
  std::lock_guard lock(lock_);
  if (actions_.empty()) return false;
  *action = actions_.front();
  actions_.pop_front();
  return true;
}

void SdlFullscreenBackend::Close() {
  video_.Run([&] { CloseWindow(); });
}

void SdlFullscreenBackend::CloseWindow() {
  if (!window_) return;
  SDL_ShowCursor(SDL_ENABLE);
  // Leaving full screen gives the display back the mode it had before.
  if (switched_) SDL_SetWindowFullscreen(window_, 0);
  SDL_DestroyWindow(window_);
  window_ = nullptr;
  switched_ = false;
  std::lock_guard lock(lock_);
  windowId_ = 0;
  actions_.clear();
}

uint32_t SdlFullscreenBackend::WindowId() {
  std::lock_guard lock(lock_);
  return windowId_;
}

bool SdlFullscreenBackend::Displays(std::vector<FullscreenDevice>* devices,
                                    RefPtr<MOmbrixApp> gui) {
  VideoThread video(VideoOwner(std::move(gui)));
  int count = 0;
  video.Run([&] {
    bool started = false;
    StartVideo(&started);
    if (!started) return;
    devices->clear();
    count = SDL_GetNumVideoDisplays();
    for (int i = 0; i < count; ++i) {
      FullscreenDevice device;
      const char* name = SDL_GetDisplayName(i);
      device.name = FromNarrowText(name ? name : "");
      SDL_Rect bounds{};
      SDL_GetDisplayBounds(i, &bounds);
      device.description = TString::Format(u"Display %d (%dx%d at %d,%d)", i, bounds.w, bounds.h,
                                           bounds.x, bounds.y);
      // The primary display keeps the all-zero id that means "no choice".
      if (i > 0) device.id = DisplayId(i);
      device.display = i;
      devices->push_back(std::move(device));
    }
    ReleaseVideo();
  });
  return count > 0;
}

int SdlFullscreenBackend::Watch(void* self, SDL_Event* event) {
  static_cast<SdlFullscreenBackend*>(self)->Take(*event);
  return 0;
}

void SdlFullscreenBackend::Take(const SDL_Event& event) {
  char32_t c = 0;
  uint32_t window = 0;
  if (event.type == SDL_KEYDOWN) {
    window = event.key.windowID;
    c = CharacterOfKey(event.key.keysym);
    // Typed characters come as text when text input is on; only the keys without text count.
    if (SDL_IsTextInputActive() && c != 27 && event.key.keysym.sym < SDLK_CAPSLOCK) c = 0;
  } else if (event.type == SDL_TEXTINPUT) {
    window = event.text.windowID;
    const unsigned char first = static_cast<unsigned char>(event.text.text[0]);
    if (first < 0x80 && event.text.text[1] == 0) c = first;
  } else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE) {
    window = event.window.windowID;
    c = 27;
  }
  FullscreenAction action;
  if (c == 0 || window == 0 || !ActionOfCharacter(c, &action)) return;
  std::lock_guard lock(lock_);
  if (window != windowId_) return;
  actions_.push_back(action);
}

}  // namespace vk2

#include "oru/gui/backend/sdl_backend.h"

#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <cstring>

#include "foundation/text/utf.h"
#include "interfaces/gui/function_keys.h"
#include "platform/clock.h"

namespace vk2::gui {

namespace {

std::u16string FromUtf8(const char* text) {
  if (!text) return {};
  const size_t n = std::strlen(text);
  std::u16string out(Utf16LengthOfUtf8(text, n), u'\0');
  Utf8ToUtf16(text, n, out.data());
  return out;
}

std::string ToUtf8(const std::u16string& text) {
  std::string out(Utf8LengthOfUtf16(text.data(), text.size()), '\0');
  Utf16ToUtf8(text.data(), text.size(), out.data());
  return out;
}

int32_t Button(uint8_t sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT:
      return 1;
    case SDL_BUTTON_RIGHT:
      return 2;
    case SDL_BUTTON_MIDDLE:
      return 3;
    default:
      return 0;
  }
}

uint32_t Modifiers(uint16_t mod) {
  uint32_t m = 0;
  if (mod & KMOD_SHIFT) m |= kModShift;
  if (mod & KMOD_CTRL) m |= kModCtrl;
  if (mod & KMOD_ALT) m |= kModAlt;
  return m;
}

int32_t KeyCode(SDL_Keycode sym) {
  switch (sym) {
    case SDLK_LEFT:
      return kKeyLeft;
    case SDLK_RIGHT:
      return kKeyRight;
    case SDLK_UP:
      return kKeyUp;
    case SDLK_DOWN:
      return kKeyDown;
    case SDLK_HOME:
      return kKeyHome;
    case SDLK_END:
      return kKeyEnd;
    case SDLK_PAGEUP:
      return kKeyPageUp;
    case SDLK_PAGEDOWN:
      return kKeyPageDown;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return kKeyEnter;
    default:
      if (sym >= SDLK_F1 && sym <= SDLK_F12) return kKeyF1 + static_cast<int32_t>(sym - SDLK_F1);
      // SDL's keycodes for printable keys and the ASCII controls are their code points.
      return (sym & SDLK_SCANCODE_MASK) ? 0 : static_cast<int32_t>(sym);
  }
}

bool X11Of(SDL_Window* window, Display** display, ::Window* x11) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  *display = info.info.x11.display;
  *x11 = info.info.x11.window;
  return true;
}

}  // namespace

std::unique_ptr<SdlBackend> SdlBackend::Create() {
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // The window system's own framebuffer: an accelerated one would make SDL recreate the
  // window (losing its shape and its id) the first time a surface is asked for.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
  const uint32_t wake = SDL_RegisterEvents(1);
  if (wake == static_cast<uint32_t>(-1)) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return nullptr;
  }
  SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
  SDL_StopTextInput();
  return std::unique_ptr<SdlBackend>(new SdlBackend(wake));
}

SdlBackend::~SdlBackend() {
  for (auto& [id, window] : windows_)
    SDL_DestroyWindow(window);
  windows_.clear();
  // The GUI layer is SDL's only user in the process: release all of it, hints included.
  SDL_Quit();
}

SDL_Window* SdlBackend::Find(uint32_t window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : it->second;
}

uint32_t SdlBackend::CreateWindow() {
  SDL_Window* w = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
  if (!w) return 0;
  const uint32_t id = SDL_GetWindowID(w);
  windows_[id] = w;
  return id;
}

void SdlBackend::DestroyWindow(uint32_t window) {
  if (SDL_Window* w = Find(window)) {
    SDL_DestroyWindow(w);
    windows_.erase(window);
  }
}

void SdlBackend::SetWindowRect(uint32_t window, const RectI& r) {
  if (SDL_Window* w = Find(window)) {
    SDL_SetWindowPosition(w, r.left, r.top);
    SDL_SetWindowSize(w, std::max(1, r.Width()), std::max(1, r.Height()));
  }
}

void SdlBackend::ShowWindow(uint32_t window, bool show) {
  if (SDL_Window* w = Find(window)) show ? SDL_ShowWindow(w) : SDL_HideWindow(w);
}

void SdlBackend::MinimizeWindow(uint32_t window, bool minimize) {
  if (SDL_Window* w = Find(window)) minimize ? SDL_MinimizeWindow(w) : SDL_RestoreWindow(w);
}

void SdlBackend::SetAlwaysOnTop(uint32_t window, bool onTop) {
  if (SDL_Window* w = Find(window)) SDL_SetWindowAlwaysOnTop(w, onTop ? SDL_TRUE : SDL_FALSE);
}

void SdlBackend::SetOpacity(uint32_t window, int32_t opacity) {
  // Refused without a compositor; the fade's timing still runs in the window part.
  if (SDL_Window* w = Find(window)) {
    SDL_SetWindowOpacity(w, static_cast<float>(std::clamp(opacity, 0, 256)) / 256.0f);
  }
}

void SdlBackend::SetTitle(uint32_t window, const std::u16string& title) {
  if (SDL_Window* w = Find(window)) SDL_SetWindowTitle(w, ToUtf8(title).c_str());
}

void SdlBackend::RaiseWindow(uint32_t window, bool top) {
  SDL_Window* w = Find(window);
  if (!w) return;
  if (top) {
    SDL_RaiseWindow(w);
    return;
  }
  Display* display = nullptr;
  ::Window x11 = 0;
  if (X11Of(w, &display, &x11)) XLowerWindow(display, x11);
}

void SdlBackend::Present(uint32_t window, const SurfaceView& pixels, const RectI& damage) {
  SDL_Window* w = Find(window);
  if (!w || pixels.format != PixelFormat::kArgb32) return;
  SDL_Surface* target = SDL_GetWindowSurface(w);
  if (!target) return;
  const RectI area{std::max(0, damage.left), std::max(0, damage.top),
                   std::min({damage.right, pixels.width, target->w}),
                   std::min({damage.bottom, pixels.height, target->h})};
  if (area.Empty()) return;
  const uint8_t* src =
      pixels.bits + static_cast<ptrdiff_t>(area.top) * pixels.strideBytes + area.left * 4;
  uint8_t* dst = static_cast<uint8_t*>(target->pixels) +
                 static_cast<ptrdiff_t>(area.top) * target->pitch +
                 area.left * target->format->BytesPerPixel;
  SDL_ConvertPixels(area.Width(), area.Height(), SDL_PIXELFORMAT_ARGB8888, src, pixels.strideBytes,
                    target->format->format, dst, target->pitch);
  const SDL_Rect rect{area.left, area.top, area.Width(), area.Height()};
  SDL_UpdateWindowSurfaceRects(w, &rect, 1);
}

void SdlBackend::SetShape(uint32_t window, const SurfaceView* mask) {
  SDL_Window* w = Find(window);
  Display* display = nullptr;
  ::Window x11 = 0;
  if (!w || !X11Of(w, &display, &x11)) return;
  if (!mask) {
    XShapeCombineMask(display, x11, ShapeBounding, 0, 0, None, ShapeSet);
    XFlush(display);
    return;
  }
  // Runs of set bits per row as rectangles: exact, and free of bitmap bit-order questions.
  std::vector<XRectangle> runs;
  for (int32_t y = 0; y < mask->height; ++y) {
    const uint8_t* row = mask->Row(y);
    int32_t x = 0;
    while (x < mask->width) {
      while (x < mask->width && !((row[x >> 3] >> (7 - (x & 7))) & 1))
        ++x;
      const int32_t start = x;
      while (x < mask->width && ((row[x >> 3] >> (7 - (x & 7))) & 1))
        ++x;
      if (x > start) {
        runs.push_back(XRectangle{static_cast<short>(start), static_cast<short>(y),
                                  static_cast<unsigned short>(x - start), 1});
      }
    }
  }
  XShapeCombineRectangles(display, x11, ShapeBounding, 0, 0, runs.data(),
                          static_cast<int>(runs.size()), ShapeSet, Unsorted);
  XFlush(display);
}

bool SdlBackend::Translate(const SDL_Event& in, BackendEvent* out) {
  using T = BackendEvent::Type;
  switch (in.type) {
    case SDL_MOUSEMOTION:
      out->type = T::kPointerMove;
      out->window = in.motion.windowID;
      out->x = in.motion.x;
      out->y = in.motion.y;
      lastPointer_ = PointI{in.motion.x, in.motion.y};
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      out->type = in.type == SDL_MOUSEBUTTONDOWN ? T::kButtonDown : T::kButtonUp;
      out->window = in.button.windowID;
      out->x = in.button.x;
      out->y = in.button.y;
      out->button = Button(in.button.button);
      out->clicks = in.button.clicks;
      out->modifiers = Modifiers(static_cast<uint16_t>(SDL_GetModState()));
      return out->button != 0;
    case SDL_MOUSEWHEEL:
      out->type = T::kWheel;
      out->window = in.wheel.windowID;
      out->x = lastPointer_.x;
      out->y = lastPointer_.y;
      out->wheel = in.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -in.wheel.y : in.wheel.y;
      return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      out->type = in.type == SDL_KEYDOWN ? T::kKeyDown : T::kKeyUp;
      out->window = in.key.windowID;
      out->key = KeyCode(in.key.keysym.sym);
      out->modifiers = Modifiers(in.key.keysym.mod);
      return out->key != 0;
    case SDL_TEXTINPUT:
      out->type = T::kText;
      out->window = in.text.windowID;
      out->text = FromUtf8(in.text.text);
      return true;
    case SDL_DROPBEGIN:
      dropping_.clear();
      dropWindow_ = in.drop.windowID;
      return false;
    case SDL_DROPFILE:
      dropping_.push_back(FromUtf8(in.drop.file));
      if (in.drop.windowID) dropWindow_ = in.drop.windowID;
      SDL_free(in.drop.file);
      return false;
    case SDL_DROPCOMPLETE: {
      if (dropping_.empty()) return false;
      out->type = T::kDrop;
      out->window = in.drop.windowID ? in.drop.windowID : dropWindow_;
      int gx = 0;
      int gy = 0;
      SDL_GetGlobalMouseState(&gx, &gy);
      int wx = 0;
      int wy = 0;
      if (SDL_Window* w = Find(out->window)) SDL_GetWindowPosition(w, &wx, &wy);
      out->x = gx - wx;
      out->y = gy - wy;
      out->paths = std::move(dropping_);
      dropping_.clear();
      return true;
    }
    case SDL_WINDOWEVENT:
      out->window = in.window.windowID;
      switch (in.window.event) {
        case SDL_WINDOWEVENT_LEAVE:
          out->type = T::kPointerLeave;
          return true;
        case SDL_WINDOWEVENT_CLOSE:
          out->type = T::kCloseRequest;
          return true;
        case SDL_WINDOWEVENT_EXPOSED:
          out->type = T::kExposed;
          return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          out->type = T::kFocusLost;
          return true;
        case SDL_WINDOWEVENT_MOVED:
          out->type = T::kMoved;
          out->x = in.window.data1;
          out->y = in.window.data2;
          return true;
        default:
          return false;
      }
    default:
      return false;
  }
}

bool SdlBackend::PollEvent(BackendEvent* event) {
  SDL_Event in;
  while (SDL_PollEvent(&in)) {
    *event = BackendEvent{};
    if (Translate(in, event)) return true;
  }
  return false;
}

void SdlBackend::Wait(uint64_t deadlineMs) {
  ++wakeCount_;
  if (deadlineMs == kNoDeadline) {
    SDL_WaitEvent(nullptr);
    return;
  }
  const uint64_t now = CurrentClock().NowMs();
  if (deadlineMs <= now) return;
  SDL_WaitEventTimeout(nullptr, static_cast<int>(std::min<uint64_t>(deadlineMs - now, 1u << 30)));
}

void SdlBackend::Wake() {
  SDL_Event event;
  SDL_zero(event);
  event.type = wakeEvent_;
  SDL_PushEvent(&event);
}

PointI SdlBackend::PointerOnScreen() {
  int x = 0;
  int y = 0;
  SDL_GetGlobalMouseState(&x, &y);
  return PointI{x, y};
}

std::u16string SdlBackend::ClipboardText() {
  char* text = SDL_GetClipboardText();
  std::u16string out = FromUtf8(text);
  SDL_free(text);
  return out;
}

void SdlBackend::SetClipboardText(const std::u16string& text) {
  SDL_SetClipboardText(ToUtf8(text).c_str());
}

void SdlBackend::EnableTextInput(bool enable) {
  enable ? SDL_StartTextInput() : SDL_StopTextInput();
}

std::vector<Monitor> SdlBackend::Monitors() {
  std::vector<Monitor> monitors;
  const int count = SDL_GetNumVideoDisplays();
  for (int i = 0; i < count; ++i) {
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(i, &bounds) != 0) continue;
    SDL_Rect usable = bounds;
    if (SDL_GetDisplayUsableBounds(i, &usable) != 0) usable = bounds;
    Monitor monitor;
    const char* name = SDL_GetDisplayName(i);
    monitor.name = name ? FromUtf8(name) : std::u16string();
    monitor.bounds = RectI{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
    monitor.usable = RectI{usable.x, usable.y, usable.x + usable.w, usable.y + usable.h};
    // SDL counts the primary display first.
    monitor.primary = i == 0;
    monitors.push_back(std::move(monitor));
  }
  return monitors;
}

uint64_t SdlBackend::NativeHandle(uint32_t window) {
  SDL_Window* w = Find(window);
  Display* display = nullptr;
  ::Window x11 = 0;
  return w && X11Of(w, &display, &x11) ? x11 : 0;
}

}  // namespace vk2::gui

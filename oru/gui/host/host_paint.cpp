// Composition: each damaged frame clears the damage and paints the visible parts into it,
// parents before children, then presents the host's surface.
#include <algorithm>
#include <cstring>

#include "interfaces/graphics/image.h"
#include "oru/graphics/canvas/canvas_object.h"
#include "oru/graphics/canvas/surface_object.h"
#include "oru/graphics/images/mask_image.h"
#include "oru/gui/host/host_window_object.h"
#include "oru/gui/loop/gui_loop.h"
#include "oru/gui/loop/input_settings_object.h"
#include "oru/gui/window/window_part.h"

namespace vk2::gui {

namespace {

// A layer blend of every channel by the source's alpha, scaled by the opacity argument.
constexpr uint64_t kComposeOver = 0x1000001000Full | kBlendOpacity;

RectI Intersect(const RectI& a, const RectI& b) {
  RectI r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
  return r.Empty() ? RectI{} : r;
}

RectI Union(const RectI& a, const RectI& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return RectI{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
               std::max(a.bottom, b.bottom)};
}

void ClearArea(const SurfaceView& view, const RectI& area) {
  for (int32_t y = area.top; y < area.bottom; ++y) {
    std::memset(view.Argb(y) + area.left, 0, static_cast<size_t>(area.Width()) * 4);
  }
}

SurfaceView SubView(const SurfaceView& view, int32_t x, int32_t y) {
  SurfaceView sub = view;
  sub.bits = view.bits + static_cast<ptrdiff_t>(y) * view.strideBytes + x * 4;
  sub.width = view.width - x;
  sub.height = view.height - y;
  return sub;
}

}  // namespace

void HostWindowObject::AddDamage(const RectI& hostRect) {
  const RectI bounds{0, 0, screenRect_.Width(), screenRect_.Height()};
  const RectI area = Intersect(hostRect, bounds);
  if (area.Empty()) return;
  damage_ = Union(damage_, area);
}

void HostWindowObject::PaintIfDamaged() {
  if (!rootCore_ || !window_) return;
  const int32_t width = screenRect_.Width();
  const int32_t height = screenRect_.Height();
  if (!surface_) {
    if (gfx::CreateSurface(width, height, PixelFormat::kArgb32, &surface_) != 0) return;
    damage_ = RectI{0, 0, width, height};
  }
  if (damage_.Empty() || !shown_ || minimized_) return;
  SurfaceView view;
  if (surface_->GetView(&view) != 0) return;
  const RectI damage = damage_;
  damage_ = RectI{};
  ClearArea(view, damage);
  RefPtr<MCanvas> hostCanvas;
  if (gfx::CreateCanvasOnView(view, &hostCanvas) != 0) return;
  PaintPart(rootCore_, hostCanvas.Get(), damage);
  loop_->Backend().Present(window_, view, damage);
  frameTimes_.push_back(loop_->NowMs());
  while (frameTimes_.size() > 400)
    frameTimes_.pop_front();
}

void HostWindowObject::PaintPart(WindowPart* part, MCanvas* hostCanvas, const RectI& damage) {
  if (!part->IsVisible() || part->HoldCount() > 0) return;
  const RectI clip = Intersect(part->VisibleRectInHost(), damage);
  if (clip.Empty()) return;
  const int32_t opacity = part->EffectiveOpacity();
  if (opacity <= 0) return;
  const PointI origin = part->OriginInHost();
  SurfaceView hostView;
  hostCanvas->GetTarget(&hostView);
  MWindowElement* outer = part->Outer();
  const bool dithering = InputSettingsObject::Instance().IsDithering() != 0;
  PaintRecord record;
  record.dirty = RectI{clip.left - origin.x, clip.top - origin.y, clip.right - origin.x,
                       clip.bottom - origin.y};
  record.opacity = opacity;
  if (origin.x >= 0 && origin.y >= 0 && opacity >= 256) {
    // Straight onto the host surface, through a view whose origin is the window's.
    RefPtr<MCanvas> canvas;
    if (gfx::CreateCanvasOnView(SubView(hostView, origin.x, origin.y), &canvas) == 0) {
      gfx::SetCanvasDithering(canvas.Get(), dithering);
      canvas->PushClipRect(record.dirty, kClipReplace, 0);
      outer->Paint(canvas.Get(), &record);
    }
  } else {
    // Panned, partly off the host, or faded: painted apart, then blended in.
    const int32_t w = clip.right - origin.x;
    const int32_t h = clip.bottom - origin.y;
    SurfaceView scratchView;
    if (!scratch_ || scratch_->GetView(&scratchView) != 0 || scratchView.width < w ||
        scratchView.height < h) {
      scratch_ = nullptr;
      if (gfx::CreateSurface(std::max(w, 1), std::max(h, 1), PixelFormat::kArgb32, &scratch_) !=
          0) {
        return;
      }
      scratch_->GetView(&scratchView);
    }
    ClearArea(scratchView, record.dirty);
    RefPtr<MCanvas> canvas;
    if (gfx::CreateCanvasOnView(scratchView, &canvas) != 0) return;
    gfx::SetCanvasDithering(canvas.Get(), dithering);
    canvas->PushClipRect(record.dirty, kClipReplace, 0);
    outer->Paint(canvas.Get(), &record);
    BlitSource source;
    source.view = scratchView;
    source.rect = record.dirty;
    hostCanvas->PushClipRect(clip, kClipReplace, 1);
    hostCanvas->Blit(source, clip.left, clip.top, kComposeOver, opacity);
    hostCanvas->PopClip(1);
  }
  for (WindowPart* child : std::vector<WindowPart*>(part->Children())) {
    PaintPart(child, hostCanvas, damage);
  }
}

void HostWindowObject::OnRegionChanged() {
  Reshape();
}

void HostWindowObject::Reshape() {
  if (!rootCore_ || !window_) return;
  const int32_t width = screenRect_.Width();
  const int32_t height = screenRect_.Height();
  RefPtr<oru::MaskImage> mask;
  if (oru::MaskImage::Create(width, height, &mask) != 0) return;
  RefPtr<MWindowElement> outer(rootCore_->Outer());
  outer->Region(mask.Get(), width, height);
  SurfaceView view;
  mask->GetView(&view);
  // A full rectangle needs no shape.
  bool full = true;
  for (int32_t y = 0; y < height && full; ++y) {
    for (int32_t x = 0; x < width && full; ++x)
      full = mask->Value(x, y) != 0;
  }
  shape_ = full ? nullptr : RefPtr<MMaskImage>(mask.Get());
  loop_->Backend().SetShape(window_, full ? nullptr : &view);
}

}  // namespace vk2::gui

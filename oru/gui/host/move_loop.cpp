// The drag, pan and size loops: from a press (or command 0x2C0 / 0x340) until the button is
// released, the part follows the pointer.
#include <algorithm>

#include "oru/gui/host/docking.h"
#include "oru/gui/host/host_window_object.h"
#include "oru/gui/window/window_part.h"

namespace vk2::gui {

namespace {

struct Edges {
  bool left = false;
  bool top = false;
  bool right = false;
  bool bottom = false;
};

Edges EdgesOf(int32_t action) {
  switch (action) {
    case kHitSizeLeft:
      return {true, false, false, false};
    case kHitSizeTopLeft:
      return {true, true, false, false};
    case kHitSizeTop:
      return {false, true, false, false};
    case kHitSizeTopRight:
      return {false, true, true, false};
    case kHitSizeRight:
      return {false, false, true, false};
    case kHitSizeBottomRight:
      return {false, false, true, true};
    case kHitSizeBottom:
      return {false, false, false, true};
    case kHitSizeBottomLeft:
      return {true, false, false, true};
    default:
      return {};
  }
}

}  // namespace

void HostWindowObject::StartMoveLoop(WindowPart* part, const DragStartRecord& start, bool size) {
  if (!part || part->Host() != this) return;
  int32_t action = start.code & kHitActionMask;
  if (size && action < kHitSizeLeft) action = kHitSizeBottomRight;
  if (!size && action == 0) action = kHitDrag;
  const PointI origin = part->OriginInHost();
  move_.active = true;
  move_.part = part;
  move_.code = action;
  move_.button = start.button > 0 ? start.button : 1;
  move_.startPointer = ToScreen(origin.x + start.x, origin.y + start.y);
  move_.startLocation = part->Location();
  move_.startSize = part->Size();
  move_.startPan = part->Pan();
  capture_ = nullptr;
}

void HostWindowObject::UpdateMoveLoop(PointI screenPoint) {
  if (!move_.active || !move_.part) return;
  WindowPart* part = move_.part;
  RefPtr<MWindowElement> keep(part->Outer());
  int32_t dx = screenPoint.x - move_.startPointer.x;
  int32_t dy = screenPoint.y - move_.startPointer.y;
  const int32_t action = move_.code;
  if (action == kHitDragX || action == kHitPanX) dy = 0;
  if (action == kHitDragY || action == kHitPanY) dx = 0;
  if (action <= kHitDrag) {
    PointI location{move_.startLocation.x + dx, move_.startLocation.y + dy};
    if (part == rootCore_) Docking::Snap(this, &location);
    part->SetLocation(location);
    return;
  }
  if (action <= kHitPan) {
    part->SetPan(PointI{move_.startPan.x - dx, move_.startPan.y - dy});
    return;
  }
  const Edges edges = EdgesOf(action);
  const int32_t startRight = move_.startLocation.x + move_.startSize.width;
  const int32_t startBottom = move_.startLocation.y + move_.startSize.height;
  SizeI wanted{move_.startSize.width + (edges.right ? dx : 0) - (edges.left ? dx : 0),
               move_.startSize.height + (edges.bottom ? dy : 0) - (edges.top ? dy : 0)};
  wanted.width = std::max(0, wanted.width);
  wanted.height = std::max(0, wanted.height);
  // The size passes the window's limits before the opposite edge is pinned.
  keep->Notify(kNotifySizeRequest, reinterpret_cast<uintptr_t>(&wanted));
  PointI location = move_.startLocation;
  if (edges.left) location.x = startRight - wanted.width;
  if (edges.top) location.y = startBottom - wanted.height;
  part->SetLocation(location);
  part->SetSize(wanted);
}

void HostWindowObject::EndMoveLoop() {
  move_ = MoveLoop{};
}

}  // namespace vk2::gui

#include "oru/gui/host/docking.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "oru/gui/host/host_window_object.h"
#include "oru/gui/loop/gui_loop.h"
#include "oru/gui/window/window_part.h"

namespace vk2::gui {

namespace {

struct PlacedPoint {
  WindowPart* part;
  std::u16string name;
  PointI screen;
  bool master;
};

struct Link {
  HostWindowObject* slave;
  HostWindowObject* master;
  WindowPart* slavePart;
  WindowPart* masterPart;
  std::u16string slaveName;
  std::u16string masterName;
};

// Loop thread only, like every host.
std::vector<Link>& Links() {
  static std::vector<Link> links;
  return links;
}

void Collect(WindowPart* part, PointI hostOrigin, std::vector<PlacedPoint>* out) {
  const RectI r = part->RectInHost();
  for (const auto& [point, master] : part->DockPoints()) {
    DockPointRecord record;
    if (point->GetRecord(&record) != 0) continue;
    const PointI at{hostOrigin.x + r.left + record.offsetX +
                        static_cast<int32_t>(std::lround(record.alignX * part->Size().width)),
                    hostOrigin.y + r.top + record.offsetY +
                        static_cast<int32_t>(std::lround(record.alignY * part->Size().height))};
    out->push_back(PlacedPoint{part, record.name ? record.name : u"", at, master});
  }
  for (WindowPart* child : part->Children())
    Collect(child, hostOrigin, out);
}

std::vector<PlacedPoint> PointsOf(HostWindowObject* host) {
  std::vector<PlacedPoint> points;
  if (host->Root()) {
    const RectI screen = host->ScreenRect();
    Collect(host->Root(), PointI{screen.left, screen.top}, &points);
  }
  return points;
}

void NotifyDock(WindowPart* part, const std::u16string& otherName, int32_t kind) {
  DockChangeRecord record{otherName.c_str(), kind};
  RefPtr<MWindowElement>(part->Outer())->Notify(kNotifyDock, reinterpret_cast<uintptr_t>(&record));
}

void Undock(const Link& link) {
  NotifyDock(link.slavePart, link.masterName, 1);
  NotifyDock(link.masterPart, link.slaveName, 3);
}

bool IsBelow(HostWindowObject* host, HostWindowObject* master) {
  // Whether `host` is `master` or docked (directly or not) to it.
  for (HostWindowObject* h = host; h; h = Docking::MasterOf(h)) {
    if (h == master) return true;
  }
  return false;
}

}  // namespace

HostWindowObject* Docking::MasterOf(HostWindowObject* slave) {
  for (const Link& link : Links()) {
    if (link.slave == slave) return link.master;
  }
  return nullptr;
}

void Docking::Snap(HostWindowObject* moving, PointI* location) {
  GuiLoop* loop = GuiLoop::Current();
  if (!loop || !moving->Root()) return;
  const PointI current = moving->Root()->Location();
  const PointI shift{location->x - current.x, location->y - current.y};
  std::vector<PlacedPoint> slaves;
  for (PlacedPoint& p : PointsOf(moving)) {
    if (!p.master) {
      p.screen.x += shift.x;
      p.screen.y += shift.y;
      slaves.push_back(p);
    }
  }
  for (HostWindowObject* other : loop->Hosts()) {
    if (other == moving || !other->IsShown() || IsBelow(other, moving)) continue;
    for (const PlacedPoint& m : PointsOf(other)) {
      if (!m.master) continue;
      for (const PlacedPoint& s : slaves) {
        const int32_t dx = m.screen.x - s.screen.x;
        const int32_t dy = m.screen.y - s.screen.y;
        if (std::abs(dx) > kSnapDistance || std::abs(dy) > kSnapDistance) continue;
        location->x += dx;
        location->y += dy;
        auto& links = Links();
        auto it = std::find_if(links.begin(), links.end(),
                               [moving](const Link& l) { return l.slave == moving; });
        if (it != links.end() && it->master == other && it->slavePart == s.part &&
            it->masterPart == m.part) {
          return;  // still docked where it was
        }
        if (it != links.end()) {
          const Link old = *it;
          links.erase(it);
          Undock(old);
        }
        links.push_back(Link{moving, other, s.part, m.part, s.name, m.name});
        NotifyDock(s.part, m.name, 0);
        NotifyDock(m.part, s.name, 2);
        return;
      }
    }
  }
  auto& links = Links();
  auto it = std::find_if(links.begin(), links.end(),
                         [moving](const Link& l) { return l.slave == moving; });
  if (it != links.end()) {
    const Link old = *it;
    links.erase(it);
    Undock(old);
  }
}

void Docking::MasterMoved(HostWindowObject* master, PointI delta) {
  std::vector<HostWindowObject*> slaves;
  for (const Link& link : Links()) {
    if (link.master == master) slaves.push_back(link.slave);
  }
  for (HostWindowObject* slave : slaves) {
    if (!slave->Root() || slave->InMoveLoop()) continue;
    const PointI at = slave->Root()->Location();
    slave->MoveTo(PointI{at.x + delta.x, at.y + delta.y});
  }
}

void Docking::MasterHidden(HostWindowObject* master) {
  auto& links = Links();
  std::vector<Link> gone;
  for (auto it = links.begin(); it != links.end();) {
    if (it->master == master) {
      gone.push_back(*it);
      it = links.erase(it);
    } else {
      ++it;
    }
  }
  for (const Link& link : gone)
    Undock(link);
}

void Docking::Forget(HostWindowObject* host) {
  std::erase_if(Links(), [host](const Link& l) { return l.slave == host || l.master == host; });
}

}  // namespace vk2::gui

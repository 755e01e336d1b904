// Timed commands of a window part: queued by start time, tweened on the loop's frames, ended
// exactly on their target values.
#include <algorithm>
#include <cmath>

#include "foundation/util/result.h"
#include "oru/gui/host/host_window_object.h"
#include "oru/gui/window/tween_curve.h"
#include "oru/gui/window/window_part.h"
#include "platform/clock.h"

namespace vk2::gui {

bool CommandNeedsRecord(uint32_t code) {
  switch (code) {
    case kCmdLocation:
    case kCmdSize:
    case kCmdVirtualSize:
    case kCmdOffset:
    case kCmdLocationAndOffset:
    case kCmdAlignment:
    case kCmdPan:
    case kCmdPlacement:
    case kCmdStartDrag:
    case kCmdStartSize:
    case kCmdPropertyTween:
      return true;
    default:
      return false;
  }
}

namespace {

bool IsTween(uint32_t code) {
  switch (code) {
    case kCmdLocation:
    case kCmdSize:
    case kCmdVirtualSize:
    case kCmdOffset:
    case kCmdLocationAndOffset:
    case kCmdAlignment:
    case kCmdPan:
    case kCmdPropertyTween:
      return true;
    default:
      return false;
  }
}

bool SameKind(const PendingCommand& a, const PendingCommand& b) {
  if (a.code != b.code) return false;
  return a.code != kCmdPropertyTween || a.property == b.property;
}

std::u16string Widen(const char* text) {
  std::u16string out;
  if (text) {
    for (const char* p = text; *p; ++p)
      out.push_back(static_cast<unsigned char>(*p));
  }
  return out;
}

// Copies what `data` points to, so the caller may free it when PostCommand returns.
bool CopyCommandData(PendingCommand* command, uintptr_t data) {
  command->value = data;
  if (!CommandNeedsRecord(command->code)) return true;
  if (!data) return false;
  switch (command->code) {
    case kCmdPlacement: {
      const auto* record = reinterpret_cast<const PlacementRecord*>(data);
      command->placement = *record;
      command->placementParent = RefPtr<MUnknown>(record->parent);
      command->placementName = record->name ? record->name : u"";
      command->placement.name = nullptr;
      return true;
    }
    case kCmdStartDrag:
    case kCmdStartSize:
      command->drag = *reinterpret_cast<const DragStartRecord*>(data);
      return true;
    case kCmdPropertyTween: {
      const auto* record = reinterpret_cast<const PropertyTweenRecord*>(data);
      if (!record->name || !*record->name) return false;
      command->property = Widen(record->name);
      command->propertyCurve = record->curve;
      command->propertyFromCurrent = record->fromCurrent != 0;
      command->propertyFrom = record->from;
      command->propertyTo = record->to;
      return true;
    }
    default:
      command->tween = *reinterpret_cast<const TweenRecord*>(data);
      return true;
  }
}

}  // namespace

int32_t WindowPart::PostCommand(uint32_t code, int32_t startMs, int32_t durationMs, uintptr_t data,
                                MWindowElement* sender, uint32_t options) {
  GuiLoop* loop = Loop();
  if (!loop) return kErrWrongState;
  PendingCommand command;
  command.code = code;
  command.durationMs = static_cast<uint64_t>(std::max(0, durationMs));
  command.options = options;
  if (!CopyCommandData(&command, data)) return kErrMissingArg;
  MWindowElement* outer = Outer();
  if (sender && sender != outer && sender != self_) {
    command.sender = sender;
    command.senderHold = RefPtr<MWindowElement>(sender);
  }
  const int32_t start = std::max(0, startMs);
  if (!loop->IsLoopThread()) {
    // Handed to the loop: the start counts from when the loop takes it.
    const bool posted =
        PostWhileAlive([start, command = std::move(command)](WindowPart* self) mutable {
          command.startMs = Loop()->NowMs() + static_cast<uint64_t>(start);
          command.sequence = ++self->commandSequence_;
          self->commands_.push_back(std::move(command));
          self->UpdateFrameRegistration();
        });
    return posted ? 0 : kErrFailed;
  }
  if (IsDestroying()) return kErrWrongState;
  command.startMs = loop->NowMs() + static_cast<uint64_t>(start);
  command.sequence = ++commandSequence_;
  if (options & kCmdOptSupersede) {
    std::erase_if(commands_,
                  [&](const PendingCommand& c) { return !c.started && SameKind(c, command); });
  }
  commands_.push_back(std::move(command));
  UpdateFrameRegistration();
  return 0;
}

int32_t WindowPart::CancelCommands(uint32_t code, int32_t fromMs, int32_t untilMs, uint32_t mode,
                                   MWindowElement* sender) {
  (void)sender;
  GuiLoop* loop = Loop();
  if (!loop) return kErrWrongState;
  if (!loop->IsLoopThread()) {
    return PostWhileAlive([code, fromMs, untilMs, mode](WindowPart* self) {
      self->CancelCommands(code, fromMs, untilMs, mode, nullptr);
    })
               ? 0
               : kErrFailed;
  }
  const uint64_t now = loop->NowMs();
  const uint64_t from = now + static_cast<uint64_t>(std::max(0, fromMs));
  const uint64_t until = untilMs < 0 ? ~uint64_t{0} : now + static_cast<uint64_t>(untilMs);
  std::vector<PendingCommand> removed;
  for (auto it = commands_.begin(); it != commands_.end();) {
    const bool codeMatches =
        code == 0 || it->code == code ||
        (code == kCmdLocationAndOffset && (it->code == kCmdLocation || it->code == kCmdOffset));
    const bool inRange = it->started ? (mode == 10 || it->startMs >= from)
                                     : (it->startMs >= from && it->startMs < until);
    if (codeMatches && inRange) {
      removed.push_back(std::move(*it));
      it = commands_.erase(it);
    } else {
      ++it;
    }
  }
  for (const PendingCommand& c : removed) {
    if (c.options & kCmdOptNotifyEnd) {
      CommandEndRecord record{c.code, 1};
      (c.sender ? c.sender : Outer())
          ->Notify(kNotifyCommandEnd, reinterpret_cast<uintptr_t>(&record));
    }
  }
  UpdateFrameRegistration();
  return static_cast<int32_t>(removed.size());
}

void WindowPart::UpdateFrameRegistration() {
  GuiLoop* loop = Loop();
  if (!loop) return;
  // A part not yet in a tree still runs its commands: placement (0x40) is how it joins one.
  const bool want = !commands_.empty();
  if (want && !frameRegistered_) {
    loop->AddFrameClient(this);
    frameRegistered_ = true;
  } else if (!want && frameRegistered_) {
    loop->RemoveFrameClient(this);
    frameRegistered_ = false;
  }
}

uint64_t WindowPart::NextDeadline(uint64_t nowMs, uint64_t frameMs) {
  if (holdCount_ > 0) return kNoDeadline;
  uint64_t deadline = kNoDeadline;
  for (const PendingCommand& c : commands_) {
    if (c.started || c.startMs <= nowMs) {
      deadline = std::min(deadline, std::max(nowMs, std::min(lastFrameMs_ + frameMs, c.EndMs())));
    } else {
      deadline = std::min(deadline, c.startMs);
    }
  }
  return deadline;
}

void WindowPart::Tick(uint64_t nowMs) {
  if (holdCount_ > 0 || IsDestroying()) return;
  RefPtr<MWindowElement> keep(Outer());
  lastFrameMs_ = nowMs;
  RunCommands(nowMs);
  UpdateFrameRegistration();
}

namespace {

TweenState CurrentState(WindowPart& part, uint32_t code) {
  TweenState s;
  int32_t offset[4] = {};
  double alignment[4] = {};
  switch (code) {
    case kCmdLocation:
    case kCmdLocationAndOffset:
      s.words[0] = part.Location().x;
      s.words[1] = part.Location().y;
      break;
    case kCmdSize:
      s.words[0] = part.Size().width;
      s.words[1] = part.Size().height;
      break;
    case kCmdVirtualSize:
      s.words[0] = part.VirtualSize().width;
      s.words[1] = part.VirtualSize().height;
      break;
    case kCmdPan:
      s.words[0] = part.Pan().x;
      s.words[1] = part.Pan().y;
      break;
    case kCmdOffset:
      part.GetValue(kValueOffset, offset, sizeof offset);
      std::copy_n(offset, 4, s.words);
      break;
    case kCmdAlignment:
      part.GetValue(kValueAlignment, alignment, sizeof alignment);
      std::copy_n(alignment, 4, s.values);
      break;
    default:
      break;
  }
  return s;
}

uint32_t RelativeBit(uint32_t code) {
  switch (code) {
    case kCmdLocation:
    case kCmdLocationAndOffset:
      return kTweenRelativeLocation;
    case kCmdSize:
      return kTweenRelativeSize;
    case kCmdVirtualSize:
      return kTweenRelativeVirtualSize;
    case kCmdPan:
      return kTweenRelativePan;
    default:
      return 0;
  }
}

}  // namespace

void WindowPart::RunCommands(uint64_t nowMs) {
  std::stable_sort(
      commands_.begin(), commands_.end(), [](const PendingCommand& a, const PendingCommand& b) {
        return a.startMs != b.startMs ? a.startMs < b.startMs : a.sequence < b.sequence;
      });
  // Work on sequence numbers: a command may post, cancel or destroy while it runs.
  std::vector<uint64_t> due;
  for (const PendingCommand& c : commands_) {
    if (c.startMs <= nowMs) due.push_back(c.sequence);
  }
  for (uint64_t sequence : due) {
    if (IsDestroying()) return;
    auto it = std::find_if(commands_.begin(), commands_.end(),
                           [sequence](const PendingCommand& c) { return c.sequence == sequence; });
    if (it == commands_.end()) continue;
    if (!it->started) {
      // A newer command of the same kind takes over from one still running.
      const PendingCommand& fresh = *it;
      std::vector<PendingCommand> replaced;
      for (auto o = commands_.begin(); o != commands_.end();) {
        if (o->started && o->sequence != sequence && SameKind(*o, fresh)) {
          replaced.push_back(std::move(*o));
          o = commands_.erase(o);
        } else {
          ++o;
        }
      }
      it = std::find_if(commands_.begin(), commands_.end(),
                        [sequence](const PendingCommand& c) { return c.sequence == sequence; });
      for (const PendingCommand& c : replaced) {
        if (c.options & kCmdOptNotifyEnd) {
          CommandEndRecord record{c.code, 1};
          (c.sender ? c.sender : Outer())
              ->Notify(kNotifyCommandEnd, reinterpret_cast<uintptr_t>(&record));
        }
      }
      it->started = true;
      StartCommand(*it);
      it = std::find_if(commands_.begin(), commands_.end(),
                        [sequence](const PendingCommand& c) { return c.sequence == sequence; });
      if (it == commands_.end() || IsDestroying()) continue;
    }
    const double t = it->durationMs == 0 ? 1.0
                                         : static_cast<double>(nowMs - it->startMs) /
                                               static_cast<double>(it->durationMs);
    const bool finished = nowMs >= it->EndMs();
    StepCommand(*it, finished ? 1.0 : t);
    it = std::find_if(commands_.begin(), commands_.end(),
                      [sequence](const PendingCommand& c) { return c.sequence == sequence; });
    if (it == commands_.end() || IsDestroying()) continue;
    if (finished) {
      PendingCommand done = std::move(*it);
      commands_.erase(it);
      FinishCommand(done);
      if (done.options & kCmdOptNotifyEnd) {
        CommandEndRecord record{done.code, 0};
        (done.sender ? done.sender : Outer())
            ->Notify(kNotifyCommandEnd, reinterpret_cast<uintptr_t>(&record));
      }
    }
  }
}

void WindowPart::StartCommand(PendingCommand& c) {
  if (IsTween(c.code)) {
    if (c.code == kCmdPropertyTween) {
      if (c.propertyFromCurrent) c.propertyFrom = properties_.GetDouble(c.property, c.propertyFrom);
      return;
    }
    const TweenState current = CurrentState(*this, c.code);
    c.from = (c.tween.mode & kTweenFromCurrent) ? current : c.tween.from;
    c.to = c.tween.to;
    if (c.tween.mode & RelativeBit(c.code)) {
      for (int i = 0; i < 4; ++i)
        c.to.words[i] += current.words[i];
    }
    if (c.code == kCmdLocation || c.code == kCmdSize) anchored_ = false;
    return;
  }
  switch (c.code) {
    case kCmdPlacement: {
      WindowPart* parent = FromElement(c.placementParent.Get());
      std::copy_n(c.placement.rect.offset, 4, offset_);
      std::copy_n(c.placement.rect.alignment, 4, alignment_);
      anchored_ = true;
      if (!c.placementName.empty()) name_ = c.placementName;
      SetStateBits(kStateVisible, (c.placement.flags & kPlaceVisible) != 0);
      if (parent) {
        parent->AttachChild(Outer(), c.placement.mode);
      } else {
        ApplyPlacement();
      }
      break;
    }
    case kCmdShow:
      c.propertyTo = opacity_ > 0 ? opacity_ : 256;  // the opacity to come back to
      if (c.value) {
        if (c.durationMs > 0 && !IsVisible()) SetOpacity(0);
        SetVisible(true);
      }
      c.propertyFrom = opacity_;
      break;
    case kCmdDestroy:
      c.propertyFrom = opacity_;
      break;
    case kCmdEnable:
      SetEnabled(c.value == 0);
      break;
    case kCmdRepaint:
      Repaint();
      break;
    case kCmdCustom:
      Outer()->Notify(kCmdCustom, c.value);
      break;
    case kCmdStartDrag:
    case kCmdStartSize:
      if (host_) host_->StartMoveLoop(this, c.drag, c.code == kCmdStartSize);
      break;
    case kCmdZOrder:
      if (parent_) {
        const int32_t index = parent_->ChildIndex(this);
        MWindowElement* element = parent_->children_[index];
        parent_->children_.erase(parent_->children_.begin() + index);
        parent_->childCores_.erase(parent_->childCores_.begin() + index);
        const bool top = c.value == 3 || c.value == 5;
        parent_->children_.insert(top ? parent_->children_.end() : parent_->children_.begin(),
                                  element);
        parent_->childCores_.insert(top ? parent_->childCores_.end() : parent_->childCores_.begin(),
                                    this);
        Repaint();
      } else if (host_) {
        host_->ChangeZOrder(static_cast<int32_t>(c.value));
      }
      break;
    case kCmdMinimize:
      if (host_) host_->Face()->Minimize(c.value ? 1 : 0);
      break;
    case kCmdAlwaysOnTop:
      if (host_) host_->Face()->SetAlwaysOnTop(c.value ? 1 : 0);
      break;
    default:
      break;
  }
}

void WindowPart::StepCommand(PendingCommand& c, double t) {
  if (c.code == kCmdPropertyTween) {
    const double share = ApplyTweenCurve(c.propertyCurve, t);
    properties_.SetDouble(c.property, TweenDouble(c.propertyFrom, c.propertyTo, share));
    Repaint();
    return;
  }
  if (IsTween(c.code)) {
    const double share = ApplyTweenCurve(c.tween.curve, t);
    const auto word = [&](int i) { return TweenInt(c.from.words[i], c.to.words[i], share); };
    switch (c.code) {
      case kCmdLocation:
        SetLocation(PointI{word(0), word(1)});
        break;
      case kCmdLocationAndOffset: {
        const PointI target{word(0), word(1)};
        const int32_t dx = target.x - location_.x;
        const int32_t dy = target.y - location_.y;
        if (anchored_) {
          const int32_t offset[4] = {offset_[0] + dx, offset_[1] + dy, offset_[2] + dx,
                                     offset_[3] + dy};
          std::copy_n(offset, 4, offset_);
        }
        SetLocation(target);
        break;
      }
      case kCmdSize:
        SetSize(SizeI{word(0), word(1)});
        break;
      case kCmdVirtualSize:
        SetVirtualSize(SizeI{word(0), word(1)});
        break;
      case kCmdPan:
        SetPan(PointI{word(0), word(1)});
        break;
      case kCmdOffset: {
        const int32_t offset[4] = {word(0), word(1), word(2), word(3)};
        SetOffset(offset);
        break;
      }
      case kCmdAlignment: {
        double alignment[4];
        for (int i = 0; i < 4; ++i)
          alignment[i] = TweenDouble(c.from.values[i], c.to.values[i], share);
        SetAlignment(alignment);
        break;
      }
      default:
        break;
    }
    return;
  }
  switch (c.code) {
    case kCmdShow:
      if (c.durationMs > 0) {
        const double target = c.value ? c.propertyTo : 0;
        SetOpacity(static_cast<int32_t>(std::lround(TweenDouble(c.propertyFrom, target, t))));
      }
      break;
    case kCmdDestroy:
      if (c.durationMs > 0) {
        SetOpacity(static_cast<int32_t>(std::lround(TweenDouble(c.propertyFrom, 0, t))));
      }
      break;
    case kCmdRepaint:
      if (c.options & kCmdOptRepeatEachFrame) Repaint();
      break;
    default:
      break;
  }
}

void WindowPart::FinishCommand(PendingCommand& c) {
  switch (c.code) {
    case kCmdShow:
      if (!c.value) {
        SetVisible(false);
        SetOpacity(static_cast<int32_t>(c.propertyTo));
      } else {
        SetOpacity(static_cast<int32_t>(c.propertyTo));
      }
      break;
    case kCmdDestroy:
      DestroyNow();
      break;
    default:
      break;
  }
}

}  // namespace vk2::gui

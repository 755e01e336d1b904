#include "gui/status_bar/status_line.h"

namespace vk2::gui {
namespace {

StatusMessage Copy(const StatusRecord& record) {
  StatusMessage message;
  message.kind = record.kind;
  message.subKind = record.subKind;
  message.text = record.text;
  if (record.kind == kStatusValue) {
    message.rightText = record.rightText;
    message.fraction = record.fraction;
  }
  return message;
}

}  // namespace

void StatusLine::OnStatus(const StatusRecord& record) {
  if (record.kind != kStatusText && record.kind != kStatusValue) return;
  bool repaint = false;
  {
    std::lock_guard lock(mutex_);
    if (record.subKind >= level_) {
      level_ = record.subKind;
      shownAtMs_ = clock_.NowMs();
      top_ = Copy(record);
      repaint = true;
    }
    if (record.subKind == 0) {
      resting_ = Copy(record);
      repaint = repaint || level_ == 0;
    }
  }
  if (repaint && repaint_) repaint_();
}

void StatusLine::Tick() {
  bool repaint = false;
  {
    std::lock_guard lock(mutex_);
    if (level_ != 0 && clock_.NowMs() - shownAtMs_ > kShowMs) {
      level_ = 0;
      repaint = true;
    }
  }
  if (repaint && repaint_) repaint_();
}

StatusMessage StatusLine::Shown() {
  std::lock_guard lock(mutex_);
  return level_ != 0 ? top_ : resting_;
}

uint32_t StatusLine::Level() {
  std::lock_guard lock(mutex_);
  return level_;
}

}  // namespace vk2::gui

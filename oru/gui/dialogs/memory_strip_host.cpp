#include "oru/gui/dialogs/memory_strip_host.h"

#include "foundation/util/result.h"

namespace vk2 {

MemoryStripHost::Control* MemoryStripHost::FindControl(int32_t id) {
  for (Control& control : controls_) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

const MemoryStripHost::Control* MemoryStripHost::Find(int32_t id) const {
  return const_cast<MemoryStripHost*>(this)->FindControl(id);
}

int32_t MemoryStripHost::Add(int32_t id, Kind kind, const char16_t* text) {
  if (FindControl(id)) return kErrAlreadyPresent;
  controls_.push_back({id, kind, row_, TString(text ? text : u""), {}});
  return 0;
}

int32_t MemoryStripHost::AddLabel(int32_t id, const char16_t* text) {
  return Add(id, Kind::kLabel, text);
}

int32_t MemoryStripHost::AddComboField(int32_t id) {
  return Add(id, Kind::kComboField, nullptr);
}

int32_t MemoryStripHost::AddButton(int32_t id, const char16_t* text) {
  return Add(id, Kind::kButton, text);
}

int32_t MemoryStripHost::NewRow() {
  ++row_;
  return 0;
}

int32_t MemoryStripHost::InsertEntry(int32_t id, int32_t index, const char16_t* text) {
  Control* control = FindControl(id);
  if (!control || control->kind != Kind::kComboField) return kErrNotFound;
  if (index < 0 || index > static_cast<int32_t>(control->entries.size())) return kErrOutOfRange;
  control->entries.insert(control->entries.begin() + index, TString(text ? text : u""));
  return 0;
}

int32_t MemoryStripHost::SelectEntry(int32_t id, int32_t index) {
  Control* control = FindControl(id);
  if (!control || control->kind != Kind::kComboField) return kErrNotFound;
  if (index < 0 || index >= static_cast<int32_t>(control->entries.size())) return kErrOutOfRange;
  control->text = control->entries[index];
  return 0;
}

int32_t MemoryStripHost::GetText(int32_t id, TString* text) {
  Control* control = FindControl(id);
  if (!control) return kErrNotFound;
  if (!text) return kErrMissingArg;
  *text = control->text;
  return 0;
}

int32_t MemoryStripHost::SetText(int32_t id, const char16_t* text) {
  Control* control = FindControl(id);
  if (!control) return kErrNotFound;
  control->text = text ? text : u"";
  return 0;
}

int32_t MemoryStripHost::CloseDialog() {
  closed_ = true;
  return 0;
}

bool MemoryStripHost::Press(int32_t id) {
  const Control* control = Find(id);
  if (!control || control->kind != Kind::kButton || !strip_) return false;
  strip_->Command(this, id);
  return true;
}

}  // namespace vk2

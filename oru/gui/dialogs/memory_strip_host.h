// A strip host that keeps the caller's controls in memory: the dialog answerer of tests and
// headless runs works the strip through it as a person would through the chooser's controls.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/text/tstring.h"
#include "interfaces/gui/file_dialogs.h"

namespace vk2 {

class MemoryStripHost final : public MDialogStripHost {
 public:
  enum class Kind { kLabel, kComboField, kButton };
  struct Control {
    int32_t id = 0;
    Kind kind = Kind::kLabel;
    int32_t row = 0;
    TString text;
    std::vector<TString> entries;
  };

  explicit MemoryStripHost(MDialogStrip* strip) : strip_(strip) {}

  int32_t AddLabel(int32_t id, const char16_t* text) override;
  int32_t AddComboField(int32_t id) override;
  int32_t AddButton(int32_t id, const char16_t* text) override;
  int32_t NewRow() override;
  int32_t InsertEntry(int32_t id, int32_t index, const char16_t* text) override;
  int32_t SelectEntry(int32_t id, int32_t index) override;
  int32_t GetText(int32_t id, TString* text) override;
  int32_t SetText(int32_t id, const char16_t* text) override;
  int32_t CloseDialog() override;

  // As a person would: presses button `id` (the strip is told); false when no such button.
  bool Press(int32_t id);
  const Control* Find(int32_t id) const;
  const std::vector<Control>& Controls() const { return controls_; }
  bool Closed() const { return closed_; }

 private:
  Control* FindControl(int32_t id);
  int32_t Add(int32_t id, Kind kind, const char16_t* text);

  MDialogStrip* strip_;
  std::vector<Control> controls_;
  int32_t row_ = 0;
  bool closed_ = false;
};

}  // namespace vk2

// Script arguments through the unpacker: the first byte picks a signature, the rest is the
// call's arguments, one per line, "|" splitting an array argument into elements.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "component/script/unpack_script_args.h"

namespace {

class FuzzArgs final : public vk2::ScriptArgList {
 public:
  struct Item {
    bool array = false;
    std::vector<std::u16string> texts;
  };
  explicit FuzzArgs(std::vector<Item> items) : items_(std::move(items)) {}
  uint32_t Count() const override { return static_cast<uint32_t>(items_.size()); }
  int32_t ArrayLength(uint32_t i) const override {
    return items_[i].array ? static_cast<int32_t>(items_[i].texts.size()) : -1;
  }
  vk2::TString ItemText(uint32_t i) const override { return Text(items_[i].texts[0]); }
  vk2::TString ElementText(uint32_t i, uint32_t j) const override {
    return Text(items_[i].texts[j]);
  }

 private:
  static vk2::TString Text(const std::u16string& s) {
    return vk2::TString(vk2::TString::View(s.data(), s.size()));
  }
  std::vector<Item> items_;
};

FuzzArgs Parse(const uint8_t* data, size_t size) {
  std::vector<FuzzArgs::Item> items;
  FuzzArgs::Item item;
  std::u16string text;
  auto endText = [&] {
    item.texts.push_back(text);
    text.clear();
  };
  for (size_t i = 0; i < size; ++i) {
    // Pairs of bytes make one UTF-16 unit when the high byte is marked, so surrogates appear.
    char16_t c = data[i];
    if (c == 0xFF && i + 2 < size) {
      c = static_cast<char16_t>(data[i + 1] << 8 | data[i + 2]);
      i += 2;
    } else if (c == '\n') {
      endText();
      items.push_back(std::move(item));
      item = {};
      continue;
    } else if (c == '|') {
      endText();
      item.array = true;
      continue;
    }
    text += c;
  }
  if (size > 0) {
    endText();
    items.push_back(std::move(item));
  }
  return FuzzArgs(std::move(items));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const FuzzArgs args = Parse(data + 1, size - 1);
  static const vk2::NamedValue kTable[] = {{u"one", 1}, {u"two", 2}, {u"One", 3}};
  vk2::TString w;
  vk2::NarrowString a;
  bool b = false;
  int32_t i3[3] = {};
  uint32_t u = 0;
  double d2[2] = {};
  int32_t t = 0;
  vk2::Guid m;
  int32_t r = 0;
  switch (data[0] % 4) {
    case 0:
      r = vk2::UnpackScriptArgs(args, u"WAbi", &w, &a, &b, &i3[0]);
      break;
    case 1:
      r = vk2::UnpackScriptArgs(args, u"3I2Du", &i3, &d2, &u);
      break;
    case 2:
      r = vk2::UnpackScriptArgs(args, u"Tm3t", &kTable, &t, &m, &kTable, &i3);
      break;
    default:
      r = vk2::UnpackScriptArgs(args, u"D", &d2[0]);
      break;
  }
  if (r < -1 || r > static_cast<int32_t>(args.Count())) std::abort();
  if (args.Count() == 0 && r != 0) std::abort();
  return 0;
}

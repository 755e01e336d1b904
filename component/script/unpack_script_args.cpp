#include "component/script/unpack_script_args.h"

#include "foundation/text/number_parse.h"
#include "foundation/util/guid_text.h"
#include "foundation/util/result.h"

namespace vk2 {
namespace {

using script_args_detail::Descriptor;

// Converts one text into element `index` of the slot's output. False when it does not convert.
bool ConvertText(const TString& text, char16_t letter, const ScriptArgSlot* slots, uint32_t index) {
  const ScriptArgSlot& out = letter == u'T' ? slots[1] : slots[0];
  switch (letter) {
    case u'W':
      *static_cast<TString*>(out.target) = text;
      return true;
    case u'A':
      *static_cast<NarrowString*>(out.target) = FromWide(text);
      return true;
    case u'B':
      if (text.IsEmpty()) return false;
      *static_cast<bool*>(out.target) = !(text.Equals(u"0") || text.Equals(u"false", false));
      return true;
    case u'I': {
      int32_t value;
      if (ParseIntegerText(text.c_str(), &value) == 0) return false;
      static_cast<int32_t*>(out.target)[index] = value;
      return true;
    }
    case u'U': {
      uint32_t value;
      if (text.ParseUnsigned(&value) == 0) return false;
      static_cast<uint32_t*>(out.target)[index] = value;
      return true;
    }
    case u'D': {
      double value;
      if (ParseNumberText(text.c_str(), &value) == 0) return false;
      static_cast<double*>(out.target)[index] = value;
      return true;
    }
    case u'T': {
      int32_t value;
      const ScriptArgSlot& table = slots[0];
      const bool found =
          table.kind == ScriptArgKind::kNameTable
              ? FindNamedValue(*static_cast<const NamedItemArray*>(table.target), text, &value)
              : FindNamedValue(std::span<const NamedValue>(
                                   static_cast<const NamedValue*>(table.target), table.size),
                               text, &value);
      if (!found) return false;
      static_cast<int32_t*>(out.target)[index] = value;
      return true;
    }
    case u'M': {
      Guid value;
      if (!ParseGuidText(text.view(), &value)) return false;
      *static_cast<Guid*>(out.target) = value;
      return true;
    }
    default:
      return false;
  }
}

bool SlotsUsable(const ScriptArgSlot* slots, uint32_t slotCount) {
  for (uint32_t i = 0; i < slotCount; ++i) {
    const bool emptyRows = slots[i].kind == ScriptArgKind::kNameRows && slots[i].size == 0;
    if (!slots[i].target && !emptyRows) return false;
  }
  return true;
}

}  // namespace

int32_t UnpackScriptArgsSlots(const ScriptArgList& args, const char16_t* format,
                              const ScriptArgSlot* slots, uint32_t slotCount) {
  // Outputs that disagree with the format are a fault in the caller, not in the arguments.
  constexpr uint32_t kMaxOutputs = 64;
  ScriptArgKind kinds[kMaxOutputs] = {};
  uint32_t sizes[kMaxOutputs] = {};
  if (slotCount > kMaxOutputs || (slotCount > 0 && !slots)) return kErrFailed;
  for (uint32_t i = 0; i < slotCount; ++i) {
    kinds[i] = slots[i].kind;
    sizes[i] = slots[i].size;
  }
  if (!script_args_detail::OutputsMatch(format, kinds, sizes, slotCount, false) ||
      !SlotsUsable(slots, slotCount)) {
    return kErrFailed;
  }

  const script_args_detail::Counts counts = script_args_detail::CountDescriptors(format);
  const uint32_t n = args.Count();
  if (n < 1 || n < counts.required || n > counts.total) return n == 0 ? 0 : kErrFailed;

  const char16_t* p = format;
  const ScriptArgSlot* slot = slots;
  for (uint32_t i = 0; i < n; ++i) {
    const Descriptor d = script_args_detail::NextDescriptor(p);
    const int32_t length = args.ArrayLength(i);
    if (d.count == 1) {
      if (length >= 0 || !ConvertText(args.ItemText(i), d.letter, slot, 0)) return kErrFailed;
    } else {
      if (length < 0 || static_cast<uint32_t>(length) != d.count) return kErrFailed;
      for (uint32_t j = d.count; j > 0; --j) {
        if (!ConvertText(args.ElementText(i, j - 1), d.letter, slot, j - 1)) return kErrFailed;
      }
    }
    slot += d.letter == u'T' ? 2 : 1;
  }
  return static_cast<int32_t>(n);
}

}  // namespace vk2

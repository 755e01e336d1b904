#include "script/native/call_args.h"

#include "foundation/script_support/script_report.h"
#include "foundation/script_support/script_text.h"

namespace vk2 {
namespace {

bool IsLetter(char c, bool upper) {
  const char* set = upper ? "WABIUDTM" : "wabiudtm";
  for (; *set; ++set) {
    if (*set == c) return true;
  }
  return false;
}

}  // namespace

int32_t UnpackCallArgsList(HandlerCall& call, const char* format, void* const* outs,
                           uint32_t outCount) {
  uint32_t required = 0, total = 0;
  const char* p = format;
  for (; *p; ++p) {
    if (*p >= '0' && *p <= '9') continue;
    if (!IsLetter(*p, true)) break;
    ++required;
  }
  total = required;
  for (; *p; ++p) {
    if (*p >= '0' && *p <= '9') continue;
    if (!IsLetter(*p, false)) break;
    ++total;
  }
  ScriptDataEntity* list = AsDataEntity(call.params);
  uint32_t n = list ? list->ArraySize() : 0;
  if (n < 1 || n < required || n > total) return n == 0 ? 0 : -1;
  const char* walk = format;
  for (uint32_t i = 0; i < n; ++i) {
    while (*walk >= '0' && *walk <= '9')
      ++walk;
    char letter = *walk++;
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    ScriptDataEntity* item = AsDataEntity(list->GetAt(i));
    if (!item || item->IsArray() || i >= outCount) return -1;
    TString text;
    item->GetValue(&text);
    switch (letter) {
      case 'W':
        *static_cast<TString*>(outs[i]) = text;
        break;
      case 'B':
        if (text.IsEmpty()) return -1;
        *static_cast<bool*>(outs[i]) = !(text.Equals(u"0") || text.Equals(u"false", false));
        break;
      case 'U': {
        uint32_t value = 0;
        if (text.ParseUnsigned(&value) == 0) return -1;
        *static_cast<uint32_t*>(outs[i]) = value;
        break;
      }
      case 'I':
      case 'D': {
        double value = 0;
        if (ReadNumberText(text.c_str(), text.Length(), &value) == 0) return -1;
        if (letter == 'D') {
          *static_cast<double*>(outs[i]) = value;
        } else {
          *static_cast<int32_t*>(outs[i]) =
              static_cast<int32_t>(value >= 2147483647.0    ? 2147483647.0
                                   : value <= -2147483648.0 ? -2147483648.0
                                                            : value);
        }
        break;
      }
      default:
        return -1;
    }
  }
  return static_cast<int32_t>(n);
}

}  // namespace vk2

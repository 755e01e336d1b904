#include "core/registry/registry_text.h"

#include "interfaces/runtime/console.h"

namespace vk2 {
namespace {

constexpr uint32_t kHexDigits = 8;

}  // namespace

bool IsQuietName(const TString& name) {
  const uint32_t length = name.Length();
  if (length <= kHexDigits + 1) return false;
  if (name[length - kHexDigits - 1] != u'_') return false;
  // Parsed with an explicit prefix so that the digits must be read as hexadecimal, all of them.
  TString digits(u"0x");
  digits.Append(name.Mid(static_cast<int32_t>(length - kHexDigits)));
  uint32_t value = 0;
  return digits.ParseUnsigned(&value) == static_cast<int32_t>(kHexDigits + 2);
}

TString TemporaryName(const TString& base, uint32_t value) {
  return TString::Format(u"%s_%08x", base, value);
}

RegistryLine MakeRegistryLine(RegistryMessage message, const TString& kind, const TString& name,
                              const TString& newName) {
  switch (message) {
    case RegistryMessage::kAlreadyExists:
      return {kConsoleError, TString::Format(u"Error: %s \"%s\" already exists.", kind, name)};
    case RegistryMessage::kNotCreated:
      return {kConsoleError, TString::Format(u"Error: \"%s\" %s was not created.", kind, name)};
    case RegistryMessage::kAdded:
      return {kConsoleInfo, TString::Format(u"%s \"%s\" added.", kind, name)};
    case RegistryMessage::kNotFoundToRemove:
      return {kConsoleError,
              TString::Format(u"Error: %s \"%s\" was not found for removal.", kind, name)};
    case RegistryMessage::kRemoved:
      return {kConsoleInfo, TString::Format(u"%s \"%s\" removed.", kind, name)};
    case RegistryMessage::kNotFoundToRename:
      return {kConsoleError,
              TString::Format(u"Error: %s \"%s\" was not found for renaming.", kind, name)};
    case RegistryMessage::kRenamed:
      return {kConsoleInfo, TString::Format(u"%s \"%s\" renamed to \"%s\".", kind, name, newName)};
  }
  return {};
}

}  // namespace vk2

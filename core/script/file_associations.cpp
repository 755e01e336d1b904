#include "core/script/file_associations.h"

#include "core/script/desktop_associations.h"
#include "platform/registry/registry_file.h"

namespace vk2 {
namespace {

using registry::RegistryKey;
using registry::RegistryValue;
using registry::ValueType;

constexpr char kProgId[] = "Velkora2.File";
constexpr char kProgIdValue[] = "velkora2.file";
constexpr char kOldValue[] = "Velkora2_Old";
constexpr char kOldMimeValue[] = "Velkora2_OldMime";
constexpr uint64_t kEditFlags = 0x00010000;
constexpr size_t kMaxExtensionKey = 128;

RegistryKey& ClassesRoot(RegistryKey& tree) {
  return tree.Child(registry::RootKeyName(registry::RootKey::kClassesRoot));
}

std::string ExtensionKey(const std::string& extension) {
  return ("." + extension).substr(0, kMaxExtensionKey);
}

bool IsOurs(const RegistryKey* key) {
  const RegistryValue* value = key ? key->FindValue("") : nullptr;
  return value && value->type == ValueType::kString &&
         registry::NamesEqual(value->text, kProgIdValue);
}

void CopyValue(RegistryKey& key, const RegistryValue& from, const std::string& to) {
  if (from.type == ValueType::kString) {
    key.SetString(to, from.text);
  } else {
    key.SetNumber(to, from.type, from.number);
  }
}

}  // namespace

void CreateProgIdKeys(const std::string& programPath) {
  registry::DefaultRegistry()->Update([&](RegistryKey& tree) {
    RegistryKey& progId = ClassesRoot(tree).Child(kProgId);
    progId.SetString("", "Velkora 2 File");
    progId.SetNumber("EditFlags", ValueType::kDword, kEditFlags);
    progId.Child("DefaultIcon").SetString("", programPath + ",0");
    RegistryKey& shell = progId.Child("shell");
    shell.SetString("", "Open");
    shell.Child("Open").Child("Command").SetString("", "\"" + programPath + "\" \"%1\"");
    return true;
  });
  WriteDesktopEntry(programPath);
}

int32_t SetExtensionAssociation(const std::string& extension, bool registered) {
  if (extension.empty()) return kAssociationRegistryFailure;
  const std::string name = ExtensionKey(extension);
  const std::string mimeType = MimeTypeOfExtension(extension);
  std::string previousMime;
  bool changed = false;
  const bool ok = registry::DefaultRegistry()->Update([&](RegistryKey& tree) {
    RegistryKey& root = ClassesRoot(tree);
    RegistryKey* key = root.FindChild(name);
    // Unregistering an extension that has no key changes nothing and makes no empty key.
    if (!key && !registered) return false;
    if (IsOurs(key) == registered) return false;
    if (registered) {
      RegistryKey& made = root.Child(name);
      if (const RegistryValue* current = made.FindValue("")) {
        const RegistryValue copy = *current;
        CopyValue(made, copy, kOldValue);
      }
      made.SetString("", kProgIdValue);
      if (!mimeType.empty()) {
        const std::string desktopDefault = DesktopDefaultFor(mimeType);
        if (!desktopDefault.empty()) made.SetString(kOldMimeValue, desktopDefault);
      }
      changed = true;
      return true;
    }
    if (const RegistryValue* mime = key->FindValue(kOldMimeValue)) previousMime = mime->text;
    key->RemoveValue(kOldMimeValue);
    if (const RegistryValue* old = key->FindValue(kOldValue)) {
      const RegistryValue copy = *old;
      CopyValue(*key, copy, "");
      key->RemoveValue(kOldValue);
    } else {
      key->RemoveValue("");
      // Only a key left with nothing in it goes: other programs' values and subkeys stay.
      if (key->Values().empty() && key->Children().empty()) root.RemoveChild(name);
    }
    changed = true;
    return true;
  });
  if (changed && !ok) return kAssociationRegistryFailure;
  if (changed && !mimeType.empty()) SetDesktopDefault(mimeType, registered, previousMime);
  return 0;
}

int32_t IsExtensionAssociated(const std::string& extension) {
  bool ours = false;
  registry::DefaultRegistry()->Read([&](const RegistryKey& tree) {
    const RegistryKey* root =
        tree.FindChild(registry::RootKeyName(registry::RootKey::kClassesRoot));
    ours = root && IsOurs(root->FindChild(ExtensionKey(extension)));
  });
  return ours ? 1 : 0;
}

}  // namespace vk2

#include "oru/core/class_registry.h"

#include "oru/core/text_util.h"

namespace vk2::oru {
namespace {

using registry::RegistryKey;
using registry::RegistryValue;
using registry::ValueType;

constexpr char kRoot[] = "HKEY_CLASSES_ROOT";

std::string StringValue(const RegistryKey& key, const char* name) {
  const RegistryValue* v = key.FindValue(name);
  return v && v->type == ValueType::kString ? v->text : std::string();
}

RegistryKey* ClsidKey(RegistryKey& root) {
  return root.Find({kRoot, "CLSID"});
}
RegistryKey* CategoriesKey(RegistryKey& root) {
  return root.Find({kRoot, "ORU", "Categories"});
}

void RemoveMembersWhere(RegistryKey& root, const auto& doomed) {
  RegistryKey* categories = CategoriesKey(root);
  if (!categories) return;
  std::vector<std::string> emptied;
  for (const auto& category : categories->Children()) {
    std::vector<std::string> gone;
    for (const auto& member : category->Children()) {
      if (doomed(*member)) gone.push_back(member->Name());
    }
    for (const auto& name : gone)
      category->RemoveChild(name);
    if (category->Children().empty()) emptied.push_back(category->Name());
  }
  for (const auto& name : emptied)
    categories->RemoveChild(name);
}

void RemoveClassesOf(RegistryKey& root, const std::string& module,
                     const std::vector<ClassRecord>& keep) {
  RegistryKey* clsid = ClsidKey(root);
  if (!clsid) return;
  std::vector<std::string> gone;
  for (const auto& key : clsid->Children()) {
    if (StringValue(*key, "module") != module) continue;
    Guid id;
    bool kept = false;
    if (ParseGuid(key->Name(), &id)) {
      for (const auto& c : keep)
        kept = kept || GuidEquals(c.id, id);
    }
    if (!kept) gone.push_back(key->Name());
  }
  for (const auto& name : gone) {
    clsid->RemoveChild(name);
    RemoveMembersWhere(root, [&](const RegistryKey& member) {
      return EqualsNoCase(member.Name(), name) && StringValue(member, "module") == module;
    });
  }
}

}  // namespace

ClassRegistry::ClassRegistry(std::shared_ptr<registry::RegistryFile> file)
    : file_(std::move(file)) {}

std::optional<ClassRecord> ClassRegistry::FindClass(const Guid& id) {
  std::optional<ClassRecord> found;
  file_->Read([&](const RegistryKey& root) {
    const RegistryKey* key = root.Find({kRoot, "CLSID", FormatGuid(id)});
    if (!key) return;
    std::string module = StringValue(*key, "module");
    if (module.empty()) return;
    found = ClassRecord{id, StringValue(*key, ""), module};
  });
  return found;
}

std::vector<CategoryMember> ClassRegistry::Members(const Guid& category) {
  std::vector<CategoryMember> members;
  file_->Read([&](const RegistryKey& root) {
    const RegistryKey* key = root.Find({kRoot, "ORU", "Categories", FormatGuid(category)});
    if (!key) return;
    for (const auto& m : key->Children()) {
      Guid id;
      if (ParseGuid(m->Name(), &id)) members.push_back({id, StringValue(*m, "name")});
    }
  });
  return members;
}

std::optional<ModuleStamp> ClassRegistry::RegisteredStamp(const std::string& module) {
  std::optional<ModuleStamp> stamp;
  file_->Read([&](const RegistryKey& root) {
    const RegistryKey* key = root.Find({kRoot, "ORU", "Modules", module});
    if (!key) return;
    const RegistryValue* size = key->FindValue("size");
    const RegistryValue* mtime = key->FindValue("mtime");
    if (!size || !mtime || size->type == ValueType::kString || mtime->type == ValueType::kString) {
      return;
    }
    stamp = ModuleStamp{size->number, static_cast<int64_t>(mtime->number)};
  });
  return stamp;
}

bool ClassRegistry::Commit(const RegistrationBatch& batch, std::string* error) {
  if (batch.Empty()) return true;
  return file_->Update(
      [&](RegistryKey& root) {
        if (batch.replace && !batch.module.empty())
          RemoveClassesOf(root, batch.module, batch.classes);
        for (const ClassRecord& c : batch.classes) {
          RegistryKey& key = root.Make({kRoot, "CLSID", FormatGuid(c.id)});
          key.SetString("", c.name);
          key.SetString("module", c.module);
        }
        for (const auto& change : batch.categoryChanges) {
          std::vector<std::string> path = {kRoot, "ORU", "Categories", FormatGuid(change.category)};
          if (change.add) {
            path.push_back(FormatGuid(change.member));
            RegistryKey& member = root.Make(path);
            member.SetString("name", change.name);
            member.SetString("module", batch.module);
          } else if (RegistryKey* category = root.Find(path)) {
            category->RemoveChild(FormatGuid(change.member));
          }
        }
        if (!batch.module.empty() && batch.stamp) {
          RegistryKey& key = root.Make({kRoot, "ORU", "Modules", batch.module});
          key.SetNumber("size", ValueType::kQword, batch.stamp->size);
          key.SetNumber("mtime", ValueType::kQword, static_cast<uint64_t>(batch.stamp->modifiedNs));
        }
        return true;
      },
      error);
}

bool ClassRegistry::RemoveModule(const std::string& module, std::string* error) {
  return file_->Update(
      [&](RegistryKey& root) {
        RemoveClassesOf(root, module, {});
        RemoveMembersWhere(
            root, [&](const RegistryKey& m) { return StringValue(m, "module") == module; });
        if (RegistryKey* modules = root.Find({kRoot, "ORU", "Modules"})) {
          modules->RemoveChild(module);
        }
        return true;
      },
      error);
}

uint64_t ClassRegistry::Generation() {
  return file_->Generation();
}

}  // namespace vk2::oru

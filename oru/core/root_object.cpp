#include "oru/core/root_object.h"

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "oru/core/runtime.h"
#include "oru/core/text_util.h"

namespace vk2::oru {

// ---- MRegistrar ----------------------------------------------------------------------------

int32_t RootObject::RegisterModuleFile(int32_t mode, const char16_t* path, uint32_t) {
  if (!path || !*path) return kErrMissingArg;
  return Runtime::Get().RegisterModuleFile(mode, ToUtf8(path));
}

int32_t RootObject::RegisterClass(int32_t mode, const Guid& classId, uintptr_t context,
                                  const char16_t* name) {
  return Runtime::Get().RegisterClass(mode, classId, context, ToUtf8(name));
}

int32_t RootObject::AddToCategory(int32_t mode, const Guid& category, const Guid& member,
                                  const char16_t* name) {
  return Runtime::Get().AddToCategory(mode, category, member, ToUtf8(name));
}

int32_t RootObject::SetBatch(int32_t flag) {
  return Runtime::Get().SetBatch(flag);
}
int32_t RootObject::Attach() {
  return Runtime::Get().AttachUser();
}
int32_t RootObject::Detach() {
  return Runtime::Get().DetachUser();
}

// ---- MErrorRegistry ------------------------------------------------------------------------

ErrorTableHandle RootObject::FindTable(const char* name) {
  return Runtime::Get().Errors().FindTable(name);
}

const ErrorRecord* RootObject::GetRecord(int32_t code, ErrorTableHandle table) {
  return Runtime::Get().Errors().GetRecord(code, table);
}

int32_t RootObject::RegisterTable(ErrorRecord* records, uint32_t count, const char* name) {
  return Runtime::Get().Errors().RegisterTable(records, count, name);
}

// ---- MClassEnumerator ----------------------------------------------------------------------

int32_t RootObject::AddRemoveChangeListener(MRegistryChangeListener* listener, int32_t add) {
  return Runtime::Get().AddRemoveChangeListener(listener, add);
}

int32_t RootObject::GetClassModule(const Guid& classId, TString* path) {
  std::optional<ClassRecord> record = Runtime::Get().FindClass(classId);
  if (!record) return kErrNotFound;
  if (path) *path = ToWide(record->module);
  return 0;
}

int32_t RootObject::GetClassName(const Guid& classId, TString* name) {
  std::optional<ClassRecord> record = Runtime::Get().FindClass(classId);
  if (!record) return kErrNotFound;
  if (name) *name = ToWide(record->name);
  return 0;
}

int32_t RootObject::CreateInstance(const Guid& classId, const Guid& iid, void** out,
                                   MUnknown* outer) {
  return Runtime::CreateInstanceEntry(&classId, &iid, out, outer);
}

int32_t RootObject::GetCategoryCount(const Guid& category, uint32_t* count) {
  if (!count) return kErrMissingArg;
  *count = static_cast<uint32_t>(Runtime::Get().Members(category).size());
  return 0;
}

int32_t RootObject::GetCategoryEntry(const Guid& category, uint32_t index, Guid* member,
                                     TString* name) {
  std::vector<CategoryMember> members = Runtime::Get().Members(category);
  if (index >= members.size()) return kErrNotFound;
  if (member) *member = members[index].member;
  if (name) *name = ToWide(members[index].name);
  return 0;
}

}  // namespace vk2::oru

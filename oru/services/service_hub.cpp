#include "oru/services/service_hub.h"

#include <cstdio>
#include <new>

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "oru/services/console.h"
#include "oru/services/enumeration_service.h"
#include "oru/services/ini/ini_file.h"
#include "oru/services/language/language_service.h"
#include "oru/services/prefs/preference_store.h"
#include "oru/services/prefs/preference_tree.h"
#include "oru/services/resources/resource_archive.h"
#include "oru/services/xml/xml_document.h"
#include "platform/user_folders.h"

namespace vk2::oru {
namespace {

// Hands out a new object as `iid` with one reference, or destroys it.
template <class T>
int32_t HandOutNew(T* object, const Guid& iid, void** out) {
  if (!object) return kErrOutOfMemory;
  object->AddRef();
  int32_t r = object->QueryInterface(iid, out, 1, 0);
  object->Release();
  return r;
}

// A file in a per-user folder; empty when the folder cannot be had (the service then works
// in memory only).
std::string UserFile(UserFolder folder, const char* name) {
  std::string path = UserFolderPath(folder);
  return path.empty() ? path : path + name;
}

}  // namespace

ServiceHub::ServiceHub(ErrorTables* errors)
    : errors_(errors),
      prefs_(std::make_shared<PreferenceTree>(UserFile(UserFolder::kConfig, "/prefs.xml"))),
      console_(std::make_unique<ConsoleObject>(UserFile(UserFolder::kState, "/console.log"))),
      language_(std::make_unique<LanguageServiceObject>()) {
  prefs_->SetReporter([this](const std::string& line) {
    std::fprintf(stderr, "velkora2: %s\n", line.c_str());
    Log(kConsoleWarning, line);
  });
}

ServiceHub::~ServiceHub() {
  Shutdown();
  // Stores may keep the tree past the hub; they report to stderr from now on.
  prefs_->SetReporter(nullptr);
}

int32_t ServiceHub::Create(const Guid& iid, void** out, MUnknown* outer) {
  *out = nullptr;
  // Services are whole objects; none is made as a part of another.
  if (outer) return kErrNoInterface;
  if (GuidEquals(iid, kIID_MPreferenceStore)) {
    return HandOutNew(new (std::nothrow) PreferenceStoreObject(prefs_, errors_), iid, out);
  }
  if (GuidEquals(iid, kIID_MConsole)) return console_->QueryInterface(iid, out, 1, 0);
  if (GuidEquals(iid, kIID_MLanguageService)) return language_->QueryInterface(iid, out, 1, 0);
  if (GuidEquals(iid, kIID_MResourceFile) || GuidEquals(iid, kIID_MPrefsDialogRegistry)) {
    return HandOutNew(new (std::nothrow) ResourceArchiveObject, iid, out);
  }
  if (GuidEquals(iid, kIID_MXmlDocument)) {
    return HandOutNew(new (std::nothrow) XmlDocumentObject, iid, out);
  }
  if (GuidEquals(iid, kIID_MIniFile)) return HandOutNew(new (std::nothrow) IniFileObject, iid, out);
  if (GuidEquals(iid, kIID_MEnumerationService)) {
    return HandOutNew(new (std::nothrow) EnumerationServiceObject, iid, out);
  }
  return kErrNoInterface;
}

void ServiceHub::Log(int32_t level, const std::string& text) {
  console_->WriteUtf8(level, text);
}

void ServiceHub::Shutdown() {
  if (prefs_->Dirty()) {
    std::string error;
    if (!prefs_->Save(&error)) std::fprintf(stderr, "velkora2: %s\n", error.c_str());
  }
  console_->CloseLog();
}

}  // namespace vk2::oru

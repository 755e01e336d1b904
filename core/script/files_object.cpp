#include "core/script/files_object.h"

#include <mutex>

#include "component/script/handler_call_args.h"
#include "core/script/file_associations.h"
#include "core/script/handler_frame.h"
#include "core/script/script_native_object.h"

namespace vk2 {
namespace {

std::string Utf8Text(const TString& text) {
  NarrowString narrow = Utf8(text);
  return std::string(narrow.c_str(), narrow.Length());
}

class FilesObject final
    : public ScriptNativeObject<FilesObject, Face<MFilesObject, kIID_FilesScriptObject>> {
 public:
  FilesObject() : errors_(MakeErrorRegistry()) {}
  bool Init();

  int32_t CreateProgIdKeys(const char* programPath) override {
    vk2::CreateProgIdKeys(programPath ? programPath : "");
    return 0;
  }
  int32_t SetExtensionAssociation(const TString& extension, bool registered) override {
    return vk2::SetExtensionAssociation(Utf8Text(extension), registered);
  }
  int32_t IsExtensionAssociated(const TString& extension) override {
    return vk2::IsExtensionAssociated(Utf8Text(extension));
  }
  MErrorRegistry* Errors() const { return errors_.Get(); }

 private:
  RefPtr<MErrorRegistry> errors_;
};

int32_t Associate(HandlerCall& call) {
  auto* files = HandlerTarget<FilesObject>(call);
  TString extension;
  // Without an extension there is no key to name: never ".".
  if (UnpackScriptArgs(call, u"W", &extension) < 0 || !HasRequiredArgs(call, u"W") ||
      extension.IsEmpty()) {
    return kScriptBadArguments;
  }
  const bool registered = call.handlerTag != 0;
  const int32_t r = files->SetExtensionAssociation(extension, registered);
  if (r < 0) {
    return ReportFailure(call,
                         TString::Format(u"Unable to %sregister file association for "
                                         u"Velkora 2 - %s",
                                         registered ? u"" : u"un", ErrorText(files->Errors(), r)));
  }
  SetResultText(call, TString(registered ? u"registered" : u"unregistered"));
  return kScriptDone;
}

int32_t IsRegistered(HandlerCall& call) {
  auto* files = HandlerTarget<FilesObject>(call);
  TString extension;
  if (UnpackScriptArgs(call, u"W", &extension) < 0 || !HasRequiredArgs(call, u"W") ||
      extension.IsEmpty()) {
    return kScriptBadArguments;
  }
  const int32_t r = files->IsExtensionAssociated(extension);
  if (r < 0) {
    return ReportCode(call, files->Errors(), r,
                      u"Error querying if file extension is registered for Velkora 2 - ");
  }
  SetResultText(call, TString(r > 0 ? u"1" : u"0"));
  return kScriptDone;
}

bool FilesObject::Init() {
  if (!AttachScriptObject(TString(u"files"),
                          TString(u"Helper functions for loading files through the OS"))) {
    return false;
  }
  AddFunction(u"RegisterFileAssociation", u"Registers a file extension for Velkora 2", &Associate,
              this, 1);
  AddFunction(u"UnregisterFileAssociation", u"Unregisters a file extension for Velkora 2",
              &Associate, this, 0);
  AddFunction(u"IsFileAssociationRegistered",
              u"Queries whether a file extension is registered for Velkora 2", &IsRegistered, this);
  return true;
}

std::mutex g_filesLock;
RefPtr<FilesObject> g_files;

}  // namespace

RefPtr<MFilesObject> GetFilesObject() {
  std::lock_guard hold(g_filesLock);
  if (!g_files) {
    RefPtr<FilesObject> made(new FilesObject);
    if (!made->Init()) return {};
    g_files = made;
  }
  return RefPtr<MFilesObject>(static_cast<MFilesObject*>(g_files.Get()));
}

void ReleaseFilesObject() {
  RefPtr<FilesObject> gone;
  {
    std::lock_guard hold(g_filesLock);
    gone.Swap(g_files);
  }
}

}  // namespace vk2

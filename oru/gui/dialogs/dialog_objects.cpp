// The dialog objects callers create: they gather the settings and show the dialog when run.
#include <new>

#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "oru/gui/dialogs/dialogs.h"

namespace vk2 {

namespace {

// The settings both file dialogs take, over either interface.
template <class Interface>
class FileDialogSettings : public Interface {
 public:
  int32_t SetFilters(const TString* texts, uint32_t count) override {
    request_.filters = FiltersFromPairs(texts, count);
    return 0;
  }
  int32_t SetTitle(const char16_t* title) override {
    request_.title = title ? title : u"";
    return 0;
  }
  int32_t SetFolder(const char16_t* folder) override {
    request_.folder = folder ? folder : u"";
    return 0;
  }
  int32_t SetFilterIndex(int32_t index) override {
    request_.filterIndex = index;
    return 0;
  }
  int32_t GetFilterIndex() override { return request_.filterIndex; }

 protected:
  // Shows the dialog; the filter left chosen is kept for GetFilterIndex.
  FileDialogResult Run() {
    FileDialogResult result = ShowFileDialog(request_);
    request_.filterIndex = result.filterIndex;
    return result;
  }

  FileDialogRequest request_;
};

class OpenFileDialogObject final
    : public ComObject<OpenFileDialogObject,
                       Face<FileDialogSettings<MOpenFileDialog>, kIID_MOpenFileDialog>> {
 public:
  int32_t RunModal(TArray<TString>* paths) override {
    if (!paths) return kErrMissingArg;
    FileDialogResult result = Run();
    paths->Truncate(0);
    for (TString& path : result.paths)
      paths->Append(std::move(path));
    return 0;
  }
  int32_t SetMultipleSelection(int32_t multiple) override {
    request_.multiple = multiple != 0;
    return 0;
  }
  int32_t SetChooseFolders(int32_t folders) override {
    request_.folders = folders != 0;
    return 0;
  }
  int32_t SetStrip(MDialogStrip* strip) override {
    request_.strip = RefPtr<MDialogStrip>(strip);
    return 0;
  }
};

class SaveFileDialogObject final
    : public ComObject<SaveFileDialogObject,
                       Face<FileDialogSettings<MSaveFileDialog>, kIID_MSaveFileDialog>> {
 public:
  SaveFileDialogObject() { request_.save = true; }

  int32_t RunModal(TString* path) override {
    if (!path) return kErrMissingArg;
    FileDialogResult result = Run();
    *path = result.paths.empty() ? TString() : result.paths.front();
    return 0;
  }
  int32_t SetFileName(const char16_t* name) override {
    request_.fileName = name ? name : u"";
    return 0;
  }
};

class MessageBoxObject final
    : public ComObject<MessageBoxObject, Face<MMessageBox, kIID_MMessageBox>> {
 public:
  int32_t Show(const char16_t* text, const char16_t* caption, int32_t buttons) override {
    return ShowMessageBox({text ? text : u"", caption ? caption : u"", buttons});
  }
};

template <class T>
int32_t HandOutNew(const Guid& iid, void** out) {
  T* object = new (std::nothrow) T;
  if (!object) return kErrOutOfMemory;
  object->AddRef();
  const int32_t result = object->QueryInterface(iid, out, 1, 0);
  object->Release();
  return result;
}

}  // namespace

int32_t CreateDialogObject(const Guid& iid, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (iid == kIID_MOpenFileDialog) return HandOutNew<OpenFileDialogObject>(iid, out);
  if (iid == kIID_MSaveFileDialog) return HandOutNew<SaveFileDialogObject>(iid, out);
  if (iid == kIID_MMessageBox) return HandOutNew<MessageBoxObject>(iid, out);
  return kErrNoInterface;
}

int32_t CreateDialogForBrint(MUnknown* outer, const Guid& iid, void** out) {
  if (outer) {
    if (out) *out = nullptr;
    return kErrNoInterface;
  }
  return CreateDialogObject(iid, out);
}

}  // namespace vk2

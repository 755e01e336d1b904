// The reader module vk2_audio_io: the file reader, the URL reader and the preference pane for
// their settings.
#include <cstddef>
#include <memory>
#include <new>

#include "audio/common/prefs_pane_provider.h"
#include "audio/readers/file/file_reader.h"
#include "audio/readers/url/core_proxy_source.h"
#include "audio/readers/url/url_reader.h"
#include "component/module/module_glue.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {

extern const unsigned char kIoPaneDocument[];
extern const size_t kIoPaneDocumentSize;

namespace {

PaneDocument IoPane() {
  return {kIoPaneDocument, kIoPaneDocumentSize, u"ridurodoror/velkora2_ioprefs/1.0"};
}

int32_t CreateFileReaderObject(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (outer) return kErrNoInterface;
  if (iid == kIID_MPrefsDialogProvider) {
    return CreatePrefsPaneProvider(IoPane(), u"FileReader", iid, out);
  }
  if (!(iid == kIID_MFileReader) && !(iid == kIID_MStreamReader)) return kErrNoInterface;
  auto* reader = new (std::nothrow) FileReader();
  if (!reader) return kErrOutOfMemory;
  reader->AddRef();
  *out = static_cast<MStreamReader*>(reader);
  return kOk;
}

int32_t CreateUrlReaderObject(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (outer) return kErrNoInterface;
  if (iid == kIID_MPrefsDialogProvider) {
    return CreatePrefsPaneProvider(IoPane(), u"URLReader", iid, out);
  }
  if (!(iid == kIID_MUrlReader) && !(iid == kIID_MStreamReader)) return kErrNoInterface;
  auto* reader = new (std::nothrow) UrlReader();
  if (!reader) return kErrOutOfMemory;
  reader->AddRef();
  reader->SetProxySource(std::make_shared<CoreProxySource>());
  *out = static_cast<MStreamReader*>(reader);
  return kOk;
}

const ModuleClass kClasses[] = {
    {kFileReaderClass, u"File Input", &CreateFileReaderObject},
    {kUrlReaderClass, u"Streaming Input", &CreateUrlReaderObject},
};
const ModuleCategoryMember kMembers[] = {
    {kCategoryStreamReaders, kFileReaderClass, u"File Input"},
    {kCategoryStreamReaders, kUrlReaderClass, u"Streaming Input"},
};
const ModuleDefinition kModule{kClasses, kMembers};

}  // namespace
}  // namespace vk2

VK2_MODULE_ENTRY_POINTS(vk2::kModule)

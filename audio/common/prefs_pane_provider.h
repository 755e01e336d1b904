// The preference-pane provider every audio module with settings hands out: it loads the
// module's embedded pane document into an in-memory archive of the runtime and describes it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "component/object/com_object.h"
#include "foundation/text/tstring.h"
#include "interfaces/ids.h"
#include "interfaces/prefs_dialog_provider.h"

namespace vk2 {

struct PaneDocument {
  const uint8_t* data;
  size_t size;
  const char16_t* interfaceName;  // the pane interface's unique name
};

// Answers only MPrefsDialogProvider.
class PrefsPaneProvider final
    : public ComObject<PrefsPaneProvider, Face<MPrefsDialogProvider, kIID_MPrefsDialogProvider>> {
 public:
  PrefsPaneProvider(const PaneDocument& document, const char16_t* moduleName)
      : document_(document), moduleName_(moduleName) {}

  bool GetPane(PrefsPaneRecord* pane) override;

 private:
  ~PrefsPaneProvider() override = default;

  PaneDocument document_;
  TString moduleName_;
};

// Makes a provider for `iid` (only kIID_MPrefsDialogProvider), one reference in `*out`.
int32_t CreatePrefsPaneProvider(const PaneDocument& document, const char16_t* moduleName,
                                const Guid& iid, void** out);

}  // namespace vk2

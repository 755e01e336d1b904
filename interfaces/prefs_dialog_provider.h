// How a module hands the user interface its preference pane: an archive holding the pane's
// markup document, the document's name in it, the interface's unique name, and the module
// whose settings the pane edits.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

struct PrefsPaneRecord {
  MUnknown* archive = nullptr;  // counted: the holder releases it
  TString resourceName;         // "dlgs.xml"
  TString interfaceName;        // the unique name of the pane's interface
  TString moduleName;
};

// Asked for by kIID_MPrefsDialogProvider.
class MPrefsDialogProvider : public MUnknown {
 public:
  // Fills `pane`; false when the pane's archive cannot be made.
  virtual bool GetPane(PrefsPaneRecord* pane) = 0;

 protected:
  ~MPrefsDialogProvider() = default;
};

}  // namespace vk2

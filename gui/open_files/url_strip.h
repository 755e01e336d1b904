// The strip the open-files dialog carries below its file list: a field with the history of
// stream URLs (most recent first) and an "Open URL" button that queues the typed URL for the
// default playlist, puts it at the head of the history and closes the dialog as cancelled.
#pragma once

#include <cstdint>
#include <functional>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/file_dialogs.h"
#include "interfaces/gui/gui_application.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/language_service.h"
#include "interfaces/runtime/preference_store.h"

namespace vk2::gui {

// Control ids of the strip.
enum UrlStripControl : int32_t {
  kUrlField = 1033,
  kUrlButton = 1029,
  kUrlHint = 1314,
  kUrlLabel = 1307,
};

// The most URLs the history keeps; older ones drop off its end.
inline constexpr uint32_t kUrlHistoryCap = 50;
// The longest URL the field hands on.
inline constexpr uint32_t kUrlMaxLength = 2000;

struct UrlStripServices {
  // A preference store, its section not yet opened.
  std::function<RefPtr<MPreferenceStore>()> preferences;
  // The GUI text domain (its sub-domain "openfilesdialog" gives the texts); may be null.
  std::function<RefPtr<MTextDomain>()> textDomain;
  MGuiMain* main = nullptr;  // options and the add-files queue
};

class UrlStrip final : public ComObject<UrlStrip, Face<MDialogStrip, kIID_MDialogStrip>> {
 public:
  explicit UrlStrip(UrlStripServices services) : services_(std::move(services)) {}

  int32_t Build(MDialogStripHost* host) override;
  int32_t Command(MDialogStripHost* host, int32_t id) override;

 private:
  ~UrlStrip() override = default;

  RefPtr<MPreferenceStore> PlayerSection();

  UrlStripServices services_;
};

}  // namespace vk2::gui

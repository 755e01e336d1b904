// The built-in post effect: fades the previous contents, blurs, smokes away from the centre
// line and zooms, over any visual whose image allows it. Settings live in a preference section
// ("Fade", "Blur", "Smoke", "Zoom") and are reloaded from it on "reloadvk1vissettings".
#pragma once

#include <cstdint>
#include <mutex>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/prefs_dialog_provider.h"
#include "interfaces/runtime/preference_store.h"
#include "interfaces/visual/visual_host.h"

namespace vk2 {

struct PostEffectSettings {
  double fade = 4.0 / 7.0;
  double zoom = 0.6;
  bool blur = false;
  bool smoke = true;
};

class VisualPostEffect final : public ComObject<VisualPostEffect, SilentFace<MVisualPostEffect>> {
 public:
  static RefPtr<VisualPostEffect> Make();

  int32_t GetString(const char16_t* name, TString* value) override;
  int32_t GetInteger(const char16_t* name, int32_t* value) override;
  int32_t GetNumber(const char16_t* name, double* value) override;
  int32_t Describe(PropertyDescriptionList* list) override;
  int32_t SetString(const char16_t* name, const char16_t* value) override;
  int32_t SetInteger(const char16_t* name, int32_t value) override;
  int32_t SetNumber(const char16_t* name, double value) override;
  int32_t LoadSettings(MPreferenceStore* section) override;
  int32_t SaveSettings(MPreferenceStore* section) override;
  int32_t SendFilterMessage(const char16_t* text, uint32_t reserved) override;
  bool Apply(const SurfaceView* image) override;

  PostEffectSettings Settings();

 private:
  friend class ComObject<VisualPostEffect, SilentFace<MVisualPostEffect>>;
  VisualPostEffect() = default;
  ~VisualPostEffect() override = default;

  std::recursive_mutex lock_;
  PostEffectSettings settings_;
  RefPtr<MPreferenceStore> section_;  // the one LoadSettings read, for reloads
};

// The module's preference pane for the post effect.
RefPtr<MPrefsDialogProvider> MakePostEffectPaneProvider();

}  // namespace vk2

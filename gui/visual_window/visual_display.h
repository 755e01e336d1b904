// What a visual window shows and how it steps: one visual handle of the handler attached to a
// player, the post effects drawn over it, and its membership of a visual group. Two ways in:
// the script-facing operations, which hand a grouped window's choice to its group, and the
// group's own operations (MVisualGroupWindow), which apply here only and never go back to the
// group. Kept apart from the window itself, so that it runs without one.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "foundation/text/tstring.h"
#include "foundation/util/guid.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/core/player.h"
#include "interfaces/graphics/surface.h"
#include "interfaces/runtime/preference_store.h"
#include "interfaces/visual/visual_control.h"
#include "interfaces/visual/visual_host.h"

namespace vk2::gui {

// What the display takes from the rest of the program.
struct VisualDisplayServices {
  RefPtr<MVisualHost> host;
  // The group registry; may be null (no groups then).
  std::function<MVisualControl*()> control;
  std::function<RefPtr<MPlayer>(const TString& name)> findPlayer;
  // A new post effect of `classId`; null with the failure in `*result`.
  std::function<RefPtr<MVisualPostEffect>(const Guid& classId, int32_t* result)> createEffect;
  // The root the post effects' settings sections ("visuals/groups/...") are opened under.
  std::function<RefPtr<MPreferenceStore>(const TString& path)> openSettings;
  // Asks the window to paint again (a visual change).
  std::function<void()> repaint;
};

class VisualDisplay final : public MVisualGroupWindow {
 public:
  explicit VisualDisplay(VisualDisplayServices services);
  ~VisualDisplay();
  VisualDisplay(const VisualDisplay&) = delete;
  VisualDisplay& operator=(const VisualDisplay&) = delete;

  void SetPlayerName(const TString& name) { playerName_ = name; }
  const TString& PlayerName() const { return playerName_; }
  // The group named before the window opens (its markup); SetVisualGroup later.
  void SetInitialGroup(const TString& name) { group_ = name; }
  TString Group();

  // The window opened: find the player, then join the group or show the first visual.
  void Open();
  // The window closes: release the visual and leave the group.
  void Close();

  // Script-facing: a grouped display asks its group.
  bool ChooseVisual(uint32_t id);
  void NextVisual() { Step(true); }
  void PreviousVisual() { Step(false); }
  void SetVisualGroup(const TString& name);
  // 0, or the failure of creating the effect.
  int32_t SwitchPostEffect(const Guid& classId, bool enable);

  // MVisualGroupWindow: this display only.
  int32_t SetVisual(uint32_t id) override;
  uint32_t GetVisualId() override;
  int32_t SendFilterMessage(const char16_t* message, int32_t argument) override;
  int32_t EnablePostEffect(const Guid& classId, MVisualPostEffect* effect) override;
  void GetPostEffects(std::vector<Guid>* classIds) override;

  // Renders the visual over the whole of `target` with the post effects; false when there is
  // no visual or it did not draw.
  bool Draw(const SurfaceView& target);
  bool NeedsRedraw();

 private:
  struct EffectItem {
    Guid classId;
    RefPtr<MVisualPostEffect> effect;
  };

  MVisualControl* Control() const { return services_.control ? services_.control() : nullptr; }
  void Step(bool forward);
  // Under the window lock: shows `id` (0: none), the old visual released first.
  void Show(uint32_t id);
  void Repaint();
  void LoadEffectSettings(MVisualPostEffect* effect, const TString& group);

  VisualDisplayServices services_;
  TString playerName_ = u"default";
  RefPtr<MPlayer> player_;

  std::recursive_mutex listLock_;  // group_ and effects_; taken before windowLock_
  TString group_;
  std::vector<EffectItem> effects_;
  bool joined_ = false;

  std::recursive_mutex windowLock_;  // visual_ and visualId_
  RefPtr<MVisual> visual_;
  uint32_t visualId_ = 0;
};

}  // namespace vk2::gui

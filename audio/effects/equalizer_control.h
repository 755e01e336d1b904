// The equalizer's control object: scripts reach it as `equalizer`, the equalizer window through
// MControlObjectPeer. It keeps the band layout in the player's "equalizer" section, from which
// the filters read it when they are told to reload, and tells its listeners of every change:
// scripts get "true" when the bands or their frequencies may have changed, "false" when only
// gains did.
#pragma once

#include <cstdint>

#include "audio/effects/band_layout.h"
#include "audio/effects/control_object_core.h"
#include "component/object/com_object.h"
#include "interfaces/audio/effect_controls.h"
#include "interfaces/core/control_object.h"
#include "interfaces/ids.h"
#include "platform/critical_section.h"

namespace vk2 {

class EqualizerControl final
    : public ComObject<EqualizerControl, Face<MControlObject, kIID_MControlObject>,
                       Face<MControlObjectPeer, kIID_MControlObjectPeer>,
                       Face<MBaseObject, kIID_MBaseObject>> {
 public:
  // Null when the script object could not be made.
  static RefPtr<EqualizerControl> Make();

  // MControlObject
  int32_t Init(MPreferenceStore* section) override;
  int32_t Attach(uintptr_t parent) override;
  int32_t Detach() override;

  // MControlObjectPeer
  int32_t GetNumBands() override;
  int32_t SetNumBands(int32_t count) override;
  int32_t GetEQData(std::vector<EqualizerBandData>* bands) override;
  int32_t SetEQData(const EqualizerBandData* bands, uint32_t count) override;
  int32_t GetBandGain(int32_t band, double* gain) override;
  int32_t SetBandGain(int32_t band, double gain) override;
  int32_t Reset() override;
  int32_t RegisterCallback(MEffectChangeCallback* callback, int32_t add) override;

  // MBaseObject
  int32_t AttachPart(const Guid& classId, const Guid& iid) override;
  int32_t AddPart(MUnknown* part) override;
  int32_t QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                              const void* after) override;

 private:
  EqualizerControl() = default;
  ~EqualizerControl() override;
  MUnknown* QueryMore(const Guid& iid) override { return core_.Parts().Find(iid); }

  void Store();  // under bandLock_
  void NotifyChange(bool layoutChanged);

  static int32_t GetNumBandsHandler(HandlerCall& call);
  static int32_t SetNumBandsHandler(HandlerCall& call);
  static int32_t GetEQDataHandler(HandlerCall& call);
  static int32_t SetEQDataHandler(HandlerCall& call);
  static int32_t GetBandGainHandler(HandlerCall& call);
  static int32_t SetBandGainHandler(HandlerCall& call);
  static int32_t ResetHandler(HandlerCall& call);

  ControlObjectCore core_;
  CriticalSection bandLock_;  // bands_, store_ and the kept data item
  BandLayout bands_;
  RefPtr<MPreferenceStore> store_;
  RefPtr<MScriptObject> lastData_;  // what GetEQData built last
};

}  // namespace vk2

// The native faces of the effects' control objects: the equalizer's (MControlObjectPeer, used by
// the equalizer window) and the pitch, amplification and balance object's, and the listener both
// call when their settings change. The filters never see these: they read the same preference
// section when a filter message tells them to reload.
#pragma once

#include <cstdint>
#include <vector>

#include "interfaces/unknown.h"

namespace vk2 {

// Called on the thread that made the change, after the change is stored, with no lock of the
// control object held.
class MEffectChangeCallback : public MUnknown {
 public:
  virtual int32_t OnEffectChanged() = 0;

 protected:
  ~MEffectChangeCallback() = default;
};

struct EqualizerBandData {
  double frequency = 0.0;  // centre, Hz
  double bandwidth = 0.0;  // Hz
  double gain = 0.0;       // -1.0 to 1.0
};

class MControlObjectPeer : public MUnknown {
 public:
  virtual int32_t GetNumBands() = 0;
  // The default layout (halving down from 22050 Hz) of `count` bands, gains 0; not stored, so
  // a filter reload keeps the stored layout. -21 outside 0 to 200.
  virtual int32_t SetNumBands(int32_t count) = 0;
  virtual int32_t GetEQData(std::vector<EqualizerBandData>* bands) = 0;
  // -21 unless 1 to 100 bands; -9 when a frequency or width lies outside 1 to 48000 Hz or a gain
  // outside -1.0 to 1.0 (nothing changes then).
  virtual int32_t SetEQData(const EqualizerBandData* bands, uint32_t count) = 0;
  virtual int32_t GetBandGain(int32_t band, double* gain) = 0;  // -21 for a bad index
  virtual int32_t SetBandGain(int32_t band, double gain) = 0;   // -21, or -9 for the gain
  virtual int32_t Reset() = 0;                                  // every gain to 0
  // Add: -6 when present; remove: -5 when absent. Listeners are not counted.
  virtual int32_t RegisterCallback(MEffectChangeCallback* callback, int32_t add) = 0;

 protected:
  ~MControlObjectPeer() = default;
};

// The setters store what they are given; the range checks belong to the script functions.
class MPitchAmpBalanceControl : public MUnknown {
 public:
  virtual int32_t RegisterCallback(MEffectChangeCallback* callback, int32_t add) = 0;
  virtual int32_t GetPitch(double* value) = 0;
  virtual int32_t GetAmplification(double* value) = 0;
  virtual int32_t GetBalance(double* value) = 0;
  virtual int32_t SetPitch(double value) = 0;
  virtual int32_t SetAmplification(double value) = 0;
  virtual int32_t SetBalance(double value) = 0;

 protected:
  ~MPitchAmpBalanceControl() = default;
};

}  // namespace vk2

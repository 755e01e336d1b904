// How modules and chains report events, time notifications and volume control.
#pragma once

#include <cstdint>

#include "interfaces/unknown.h"

namespace vk2 {

class MAudioCallback : public MUnknown {
 public:
  // `source`: the module or chain that reports; `key`: the one given at registration; `code`:
  // a ChainEvent; `argument` 0 unless the event says otherwise.
  virtual int32_t OnEvent(MUnknown* source, int32_t code, uint32_t key, int32_t argument) = 0;

 protected:
  ~MAudioCallback() = default;
};

// A (callback, key) pair registers once (-6 the second time); removing an absent pair gives
// -5. Registration adds no reference: a receiver unregisters before it goes.
class MCallbackRegistry : public MUnknown {
 public:
  virtual int32_t RegisterCallback(MAudioCallback* callback, uint32_t key) = 0;
  virtual int32_t UnregisterCallback(MAudioCallback* callback, uint32_t key) = 0;

 protected:
  ~MCallbackRegistry() = default;
};

// A notification fires once, with event 7 and its key, when the stream time heard reaches
// `seconds`; a negative number counts back from the end of the stream ("totaltime").
// The same (callback, key) twice gives -6; removing an absent one gives -5.
class MTimeNotifications : public MUnknown {
 public:
  virtual int32_t AddNotification(MAudioCallback* callback, double seconds, uint32_t key) = 0;
  virtual int32_t RemoveNotification(MAudioCallback* callback, double seconds, uint32_t key) = 0;

 protected:
  ~MTimeNotifications() = default;
};

// Volume in [0, 1], balance in [-1, 1], ramps over (0, 60] seconds; -9 out of range.
class MVolumeControl : public MUnknown {
 public:
  virtual int32_t SetVolume(double volume) = 0;
  virtual int32_t GetVolume(double* volume) = 0;
  virtual int32_t SetBalance(double balance) = 0;
  virtual int32_t GetBalance(double* balance) = 0;
  virtual int32_t RampVolume(double from, double to, double seconds) = 0;

 protected:
  ~MVolumeControl() = default;
};

}  // namespace vk2

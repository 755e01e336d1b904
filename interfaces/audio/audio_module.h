// Chain modules: every member of a media chain (reader, decoder, filter, endpoint) speaks
// `MAudioModule` and hands out input and output sub-objects.
//
// The chain's calling order, which modules rely on: the chain adds a module (AddRef, SetChain),
// asks the module input's CanHandle, then connects it (the upstream output's SetDestination
// with the module's input, then the input's Connect with the upstream output: a decoder's
// SetDestination clears its chosen output format and the Connect that follows chooses it again
// through SetFormat), registers its callback with the module's MCallbackRegistry (key 0), moves
// the chain through states 4 and 1 while building, then 3 and 5 to play. Data flows only by
// GetPacket calls from downstream, on the thread that asked.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/audio/audio_format.h"
#include "interfaces/audio/audio_packet.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MAudioModule;
class MMediaChain;
class MOutputDevice;
class AudioModuleOutput;

// Input and output sub-objects have no reference count and no QueryInterface: they live as long
// as their module, so whoever holds one keeps the owning module referenced.
class AudioModuleInput {
 public:
  virtual int32_t GetName(TString* name) = 0;  // "input"
  // How well the module accepts what `upstream` offers: two positive scores when it can take
  // the data (the chain compares their product), 0 and 0 with result 0 when it cannot; a
  // negative result is a failure of the call itself.
  virtual int32_t CanHandle(AudioModuleOutput* upstream, uint32_t* score1, uint32_t* score2) = 0;
  // Chooses a format from the upstream's GetFormats and tells it through SetFormat; null
  // disconnects and releases the chosen format.
  virtual int32_t Connect(AudioModuleOutput* upstream) = 0;
  // The owning module, with a reference.
  virtual int32_t GetOwner(MAudioModule** owner) = 0;

 protected:
  ~AudioModuleInput() = default;
};

class AudioModuleOutput {
 public:
  virtual int32_t GetName(TString* name) = 0;  // "output"
  // Pull: stores the next packet in the caller's slot, releasing what the slot held. End of
  // data is MediaSystem entry 9; a module outside a chain answers entry 8.
  virtual int32_t GetPacket(AudioPacket** packet) = 0;
  // Appends every format the output can deliver, best first.
  virtual int32_t GetFormats(AudioFormatList* formats) = 0;
  virtual int32_t SetFormat(AudioFormat* format) = 0;
  // The input that pulls from this output (not counted), or null.
  virtual int32_t SetDestination(AudioModuleInput* downstream) = 0;
  virtual int32_t GetOwner(MAudioModule** owner) = 0;

 protected:
  ~AudioModuleOutput() = default;
};

class MAudioModule : public MUnknown {
 public:
  virtual int32_t HasInput() = 0;   // 0 for a stream reader, else 1
  virtual int32_t HasOutput() = 0;  // 0 for an endpoint, else 1
  // "input" / "output", or index 0 only; -5 otherwise. No reference is added (sub-objects
  // are not counted).
  virtual int32_t GetInputByName(AudioModuleInput** input, const char16_t* name) = 0;
  virtual int32_t GetInput(AudioModuleInput** input, int32_t index) = 0;
  virtual int32_t GetOutputByName(AudioModuleOutput** output, const char16_t* name) = 0;
  virtual int32_t GetOutput(AudioModuleOutput** output, int32_t index) = 0;
  // The chain the module now belongs to (not counted), or null.
  virtual int32_t SetChain(MMediaChain* chain) = 0;
  virtual int32_t StateChange(int32_t state) = 0;  // a ChainState
  // Module-specific preparation; the media core passes kPrepareQuickScan or kPrepareFullScan.
  virtual int32_t Prepare(int32_t mode) = 0;
  // `flags` carries the media core caller's seek flags unchanged; the low byte of `flush` asks
  // the endpoint to flush what is queued.
  virtual int32_t Seek(double seconds, uint32_t flags, uint32_t flush) = 0;

 protected:
  ~MAudioModule() = default;
};

// The endpoint interface (kIID_AudioEndpoint): a module without output that plays through a
// device. The endpoint keeps a reference to the device and releases the previous one.
class AudioEndpoint : public MAudioModule {
 public:
  virtual int32_t SetOutputDevice(MOutputDevice* device) = 0;

 protected:
  ~AudioEndpoint() = default;
};

}  // namespace vk2

// The audio system: the engine's entry point. It finds the chain modules other libraries
// registered, builds chains pre-filled with them, iterates them for the media core, remembers
// the default endpoint class, owns the packet pool and makes the chain nodes.
//
// Its class object (kAudioSystemClass) is the system itself, so every module that asks the
// runtime for it reaches the same system and the same pool. Its CreateInstance answers
// kIID_MAudioSystem, kIID_MPacketPool, kOutputNodeClass (a new MOutputNode) and
// kEndpointNodeClass (a new device-less endpoint, an MAudioModule, for chains that are only
// built and inspected).
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"
#include "interfaces/audio/audio_module.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MMediaChain;
class MStreamReader;

class MAudioSystem : public MUnknown {
 public:
  // A new chain with every registered reader, decoder and filter as candidates, one reference
  // for the caller; null when memory runs out.
  virtual MMediaChain* CreateChain() = 0;
  // Iteration over one category in registration order: with a null module the first class
  // that qualifies; with a module, the next qualifying class after the one whose id is
  // `*classId`. The new module replaces the caller's (released) and its class id is written
  // out. At the end the caller's module is released and set to null; the result is still 0.
  virtual int32_t NextDecoder(MAudioModule** module, Guid* classId) = 0;
  // Output devices come as ready endpoints (a generic endpoint that owns a new device).
  virtual int32_t NextOutputDevice(MAudioModule** module, Guid* classId) = 0;
  virtual int32_t NextStreamReader(MStreamReader** reader, Guid* classId) = 0;
  virtual int32_t NextDspFilter(MAudioModule** module, Guid* classId) = 0;
  // Stored and written as the GUID preference "DefaultEndpointFactory" of section
  // "AudioSystem".
  virtual int32_t SetDefaultEndpoint(Guid classId) = 0;
  virtual int32_t GetDefaultEndpoint(Guid* classId) = 0;
  // An endpoint of the default class, else of the first output device; -5 when there is none.
  virtual int32_t CreateDefaultEndpoint(MAudioModule** endpoint) = 0;

 protected:
  ~MAudioSystem() = default;
};

// A shared output stage: the chains of successive items end in inputs of one output node,
// which passes the packets of the oldest input on to one endpoint and, when that stream ends,
// switches to the next input after a gap of silence. The node also answers MAudioModule (no
// input, one output) so that it stands at the head of the endpoint's chain.
class MOutputNode : public MUnknown {
 public:
  // A new input (an MAudioModule with one input and no output), appended to the queue.
  virtual int32_t CreateInput(MAudioModule** input) = 0;
  virtual int32_t SetEndpoint(MAudioModule* endpoint) = 0;
  // No known caller; answers -1.
  virtual int32_t Reserved() = 0;
  // Takes every input out of the queue (the node's reset).
  virtual int32_t DrainInputs() = 0;
  // Seconds of silence between two streams.
  virtual int32_t SetGap(double seconds) = 0;

 protected:
  ~MOutputNode() = default;
};

}  // namespace vk2

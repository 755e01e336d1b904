// A media chain: one playing or scanning stream, from a stream reader through decoders and
// filters to an endpoint. The chain object also answers MCallbackRegistry (its first two own
// operations), MTimeNotifications and MModuleInfo / MModuleProperties (speaking for its
// modules). Module events reach the chain's callbacks on the chain's own event thread, never
// on the thread that raised them.
#pragma once

#include <cstdint>

#include "interfaces/audio/audio_callbacks.h"
#include "interfaces/audio/audio_module.h"

namespace vk2 {

class Event;
class MStreamReader;
class MVolumeControl;

class MMediaChain : public MCallbackRegistry {
 public:
  // Candidates, appended once each (a module already there is ignored).
  virtual int32_t AddStreamReader(MStreamReader* reader) = 0;
  virtual int32_t AddDecoder(MAudioModule* decoder) = 0;
  virtual int32_t AddDspFilter(MAudioModule* filter) = 0;
  // Releases the candidate lists and the endpoint.
  virtual int32_t ClearCandidates() = 0;
  // A module without output; -9 for null, -5 for a module with an output.
  virtual int32_t SetEndpoint(MAudioModule* endpoint) = 0;
  // Cues the chain and waits until the endpoint's "bufferlevel" reaches `level` (or the
  // endpoint stops answering, or a time limit passes). Gives up with MediaSystem entry 5 when
  // the chain is stopped or closed from another thread meanwhile.
  virtual int32_t WaitForBuffer(double level) = 0;
  // WaitForBuffer(level), then StateChange(5).
  virtual int32_t Play(double level) = 0;
  // Builds the chain for `url`: reader by score, decoders until the endpoint accepts, filters
  // where they fit. A reader whose access cost exceeds `costLimit` is refused (entry 25).
  virtual int32_t Open(const char16_t* url, int32_t costLimit) = 0;
  virtual int32_t Close() = 0;
  // Puts a filter between two modules where both neighbours accept it; 0 also when it fits
  // nowhere.
  virtual int32_t Insert(MAudioModule* filter) = 0;
  // States 1 and 2 go from the endpoint back to the reader, the others from the reader on. The
  // first refusal is returned; modules already changed stay changed and the chain keeps its
  // recorded state.
  virtual int32_t StateChange(int32_t state) = 0;
  virtual int32_t Prepare(int32_t mode) = 0;
  virtual int32_t Seek(double seconds, uint32_t flags, uint32_t flush) = 0;
  // Iteration: null gives the first module, a module the one after it. The module the caller
  // passes in is released and replaced by the next one, with a reference; at the end (or for a
  // module not in the chain) *module becomes null and the result is -5.
  virtual int32_t NextModule(MAudioModule** module) = 0;
  // The volume control of the last module that has one, with a reference; -5 when none.
  virtual int32_t QueryVolumeControl(MVolumeControl** control) = 0;
  // Sets "streamid" on the first module.
  virtual int32_t SetStreamId(int32_t id) = 0;
  // A manual-reset event set while the chain is being stopped or closed (from the start of
  // StateChange(1) and Close until the chain is cued, detects formats or plays again). Blocking
  // reads inside the chain's modules wait on it too, so that a stop never waits on a stalled
  // source. Not counted: it lives as long as the chain. May be null (a chain face without one).
  virtual Event* AbortEvent() = 0;

 protected:
  ~MMediaChain() = default;
};

}  // namespace vk2

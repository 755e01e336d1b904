// What the chain modules that sit between two others share (the effect filters, the visual
// tap): their input and output ports, the chain and state they are given, the upstream output
// they pull from, and the formats they pass. The module itself says which formats it takes and
// what it does with a pulled packet (PullPacket).
//
// Packet ownership: GetPacket fills the caller's slot, so whatever the slot holds belongs to the
// caller, on failure too. A filter that refuses a packet (not PCM, or a format it cannot process)
// leaves it in the slot for the caller to release, and a filter that pulls from another releases
// its own slot the same way.
#pragma once

#include <cstdint>

#include "interfaces/audio/audio_format.h"
#include "interfaces/audio/audio_module.h"
#include "interfaces/audio/chain_types.h"
#include "platform/critical_section.h"

namespace vk2 {

class FilterFrame {
 public:
  FilterFrame(const FilterFrame&) = delete;
  FilterFrame& operator=(const FilterFrame&) = delete;

  // MAudioModule's operations after the common three.
  int32_t GetInputByName(AudioModuleInput** input, const char16_t* name);
  int32_t GetInput(AudioModuleInput** input, int32_t index);
  int32_t GetOutputByName(AudioModuleOutput** output, const char16_t* name);
  int32_t GetOutput(AudioModuleOutput** output, int32_t index);
  int32_t SetChain(MMediaChain* chain);
  int32_t StateChange(int32_t state);

  int32_t State();

 protected:
  // How the ports meet an upstream module.
  struct PortRules {
    bool (*accepts)(const AudioFormat& format);  // the formats passed on
    uint32_t secondScore;                        // CanHandle's second score for an accepted one
    bool connectOnlyWhenStopped;                 // CanHandle refuses while the chain runs
  };

  FilterFrame(MAudioModule* owner, PortRules rules);
  ~FilterFrame() = default;

  // Pulls one packet from `upstream` into `slot` and works on it.
  virtual int32_t PullPacket(AudioModuleOutput* upstream, AudioPacket** slot) = 0;
  // Called after the state changed, outside the frame's lock.
  virtual void StateChanged(int32_t /*from*/, int32_t /*to*/) {}
  MMediaChain* Chain();

 private:
  class Input final : public AudioModuleInput {
   public:
    explicit Input(FilterFrame* frame) : frame_(frame) {}
    int32_t GetName(TString* name) override;
    int32_t CanHandle(AudioModuleOutput* upstream, uint32_t* score1, uint32_t* score2) override;
    int32_t Connect(AudioModuleOutput* upstream) override;
    int32_t GetOwner(MAudioModule** owner) override;

   private:
    FilterFrame* frame_;
  };

  class Output final : public AudioModuleOutput {
   public:
    explicit Output(FilterFrame* frame) : frame_(frame) {}
    int32_t GetName(TString* name) override;
    int32_t GetPacket(AudioPacket** packet) override;
    int32_t GetFormats(AudioFormatList* formats) override;
    int32_t SetFormat(AudioFormat* format) override;
    int32_t SetDestination(AudioModuleInput* downstream) override;
    int32_t GetOwner(MAudioModule** owner) override;

   private:
    FilterFrame* frame_;
  };

  AudioModuleOutput* Upstream();
  int32_t GiveOwner(MAudioModule** owner);

  MAudioModule* owner_;
  const PortRules rules_;
  Input input_{this};
  Output output_{this};
  CriticalSection lock_;  // the links and the state
  MMediaChain* chain_ = nullptr;
  AudioModuleInput* downstream_ = nullptr;
  AudioModuleOutput* upstream_ = nullptr;
  int32_t state_ = kChainStopped;
};

}  // namespace vk2

// What every stream reader shares: the module and stream-reader boilerplate, the output
// sub-object that hands out byte-stream packets, the status bits (first packet sent, end
// reached, discontinuity pending), "streamid", the packet pool and the MediaSystem table.
// A reader supplies the bytes of each packet (ReadForPacket) and its own Open, Close, access
// and positioning operations.
#pragma once

#include <atomic>
#include <cstdint>

#include "audio/common/media_errors.h"
#include "audio/common/property_table.h"
#include "audio/readers/common/settings_properties_face.h"
#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/audio_packet.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/audio/stream_reader.h"
#include "interfaces/ids.h"
#include "platform/critical_section.h"

namespace vk2 {

class Event;

// Status bits of a reader.
enum ReaderStatus : uint32_t {
  kReaderFirstSent = 1,
  kReaderEndReached = 2,
  kReaderDiscontinuity = 4,
};

class StreamReaderBase
    : public ComObject<StreamReaderBase,
                       Face<MStreamReader, kIID_MStreamReader, kIID_MAudioModule>> {
 public:
  int32_t HasInput() override { return 0; }
  int32_t HasOutput() override { return 1; }
  int32_t GetInputByName(AudioModuleInput** input, const char16_t* name) override;
  int32_t GetInput(AudioModuleInput** input, int32_t index) override;
  int32_t GetOutputByName(AudioModuleOutput** output, const char16_t* name) override;
  int32_t GetOutput(AudioModuleOutput** output, int32_t index) override;
  int32_t SetChain(MMediaChain* chain) override;
  // MediaSystem entry 5 while stopped or detecting formats.
  int32_t Prepare(int32_t mode) override;

 protected:
  // The reader's class interface and the property sub-object.
  MUnknown* QueryMore(const Guid& iid) override;

  // `ownInterface`: the reader's class interface, answered besides MAudioModule and
  // MStreamReader. `format`: what the output delivers (null: the byte stream).
  explicit StreamReaderBase(const Guid& ownInterface, RefPtr<AudioFormat> format = nullptr);
  ~StreamReaderBase() override;

  struct PacketBytes {
    int32_t result = 0;      // negative: the packet fails with this
    uint32_t count = 0;      // bytes read; fewer than asked means the end of the stream
    double position = -1.0;  // where the first byte lies
    double length = -1.0;    // what the bytes cover (seconds for linear audio); < 0: their count
    // Short, but not the end: the source failed after these bytes and says so next time.
    bool more = false;
  };
  // The next bytes in order, up to `capacity`. `abort` (may be null) is the chain's abort
  // event, which every blocking wait must watch.
  virtual PacketBytes ReadForPacket(uint8_t* data, uint32_t capacity, Event* abort) = 0;

  // Sequential read for the output (see the stream reader contract). Holds the status lock
  // while it reads.
  virtual int32_t GetPacket(AudioPacket** slot);

  // Status changes, under the status lock.
  void ResetStatus();
  // After a move of the position: end-reached cleared, discontinuity pending.
  void MarkRepositioned();
  void ClearEndReached();
  uint32_t Status();

  int32_t State() const { return state_.load(std::memory_order_acquire); }
  void SetStateValue(int32_t state) { state_.store(state, std::memory_order_release); }
  MMediaChain* Chain() const { return chain_.load(std::memory_order_acquire); }
  int32_t StreamId() const { return streamId_.load(std::memory_order_relaxed); }

  // Describes "streamid" (flags 66) in `table_`; the chain sets it, so it is no setting.
  void AddStreamIdProperty();

  MediaErrorRegistration errors_;  // registered first, before any table of the reader's own
  PropertyTable table_;            // every property, in Describe order
  PropertyTable settings_;         // the stored settings only
  SettingsPropertiesFace properties_{static_cast<MUnknown*>(this), &table_, &settings_};
  CriticalSection statusLock_;

 private:
  class Output final : public AudioModuleOutput {
   public:
    explicit Output(StreamReaderBase* owner) : owner_(owner) {}
    int32_t GetName(TString* name) override;
    int32_t GetPacket(AudioPacket** slot) override { return owner_->GetPacket(slot); }
    int32_t GetFormats(AudioFormatList* formats) override;
    int32_t SetFormat(AudioFormat*) override { return 0; }
    int32_t SetDestination(AudioModuleInput* downstream) override;
    int32_t GetOwner(MAudioModule** owner) override;

   private:
    StreamReaderBase* owner_;
    std::atomic<AudioModuleInput*> downstream_{nullptr};
  };

  Guid ownInterface_;
  std::atomic<MMediaChain*> chain_{nullptr};
  std::atomic<int32_t> state_{kChainStopped};
  std::atomic<int32_t> streamId_{0};
  uint32_t status_ = 0;  // ReaderStatus bits, under statusLock_
  RefPtr<MPacketPool> pool_;
  RefPtr<AudioFormat> byteFormat_;
  Output output_{this};
};

}  // namespace vk2

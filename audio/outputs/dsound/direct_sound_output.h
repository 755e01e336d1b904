// `DirectSoundOutput`, the output device of vk2_audio_dsound: one looping buffer of the
// DirectSound stand-in per open device, written at a write cursor the device keeps, with the
// play cursor read back to tell how much room there is. Buffers are created and started on the
// library's command thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/outputs/common/output_device_base.h"
#include "platform/audio/dsound/direct_sound.h"
#include "platform/audio/dsound/ds_buffer.h"
#include "platform/critical_section.h"

namespace vk2 {

// Entries of the "DirectSoundOutput" error table.
enum DirectSoundError : uint32_t {
  kDsOutNotInitialized = 0,
  kDsOutPlayFailed = 1,
  kDsOutStopFailed = 2,
  kDsOutDeviceNotFound = 3,
  kDsOutNoDevices = 4,
};
int32_t DirectSoundOutputError(DirectSoundError entry);

// Buffer description flags: static, pan, volume, global focus, accurate position.
inline constexpr uint32_t kDirectSoundBufferFlags = 0x180C2;

class DirectSoundOutput final : public OutputDeviceBase {
 public:
  // `sinks` makes the sinks the buffers play into (tests pass a capture sink).
  explicit DirectSoundOutput(PcmSinkFactory sinks = DefaultPcmSinkFactory(),
                             DsBufferOptions bufferOptions = {});

  int32_t CanOpen(AudioFormat* format) override;
  bool NoPollDelay() override { return false; }
  bool Open(AudioFormat* format, double bufferSeconds) override;
  void Close() override;
  bool ChangeFormat(AudioFormat* format) override;
  uint32_t BufferSize() override;
  bool Play() override;
  bool Pause() override;
  bool Flush() override;
  bool Drain(Event* wake) override;
  uint32_t FreeSpace() override;
  bool SetVolume(double volume) override;
  bool SetBalance(double balance) override;
  bool Write(const void* data, uint32_t count) override;

  // What SetVolume and SetBalance send: hundredths of a decibel, and pan.
  static int32_t VolumeToCentibels(double volume);
  static int32_t BalanceToPan(double balance);
  // Bytes of a buffer of `millis` for `pcm`: rate x millis / 1000 x bytes per sample x channels.
  static uint64_t BufferBytesFor(const PcmFormat& pcm, uint64_t millis);
  // How far past the write position the buffer reports writing starts again after a flush or a
  // format change: the stand-in hands the sink its data a piece at a time, so its write
  // position can move on by a piece before the first write lands (whole frames, at most a
  // quarter of the buffer).
  static uint32_t RestartMargin(const PcmFormat& pcm, uint32_t bufferBytes);

  // For tests: the buffer of the open device.
  std::shared_ptr<DsBuffer> Buffer();

 private:
  ~DirectSoundOutput() override;

  // Makes the device object (when the selected device changed) and a buffer for `pcm`: a
  // 100 ms probe that is released at once, or the real one. 1, 0 when the buffer cannot be
  // made for the format, or a negative table entry.
  int32_t Create(const PcmFormat& pcm, bool probe);
  bool Acceptable(AudioFormat* format, PcmFormat& pcm);
  // Locks `bytes` at `offset` (or the whole buffer), up to five tries 1 ms apart.
  static bool LockRegion(DsBuffer& buffer, uint32_t offset, uint32_t bytes, uint32_t flags,
                         void** p1, uint32_t* n1, void** p2, uint32_t* n2);
  // The write cursor after a flush or format change: past the buffer's write position by the
  // restart margin (the margin itself is silence).
  void RestartWriteCursor(DsBuffer& buffer);
  // Fills the buffer region [from, to) (wrapping) with silence.
  void FillSilenceBetween(DsBuffer& buffer, uint32_t from, uint32_t to);
  bool WriteAtCursor(DsBuffer& buffer, const void* data, uint32_t count);
  void LoadDeviceSettings(MPreferenceStore* section) override;
  void SaveDeviceSettings(MPreferenceStore* section) override;

  PcmSinkFactory sinks_;
  DsBufferOptions bufferOptions_;
  // Lock order: the base's device lock (the device object, the buffer and the open format),
  // flags, cursor.
  CriticalSection flagsLock_;   // the draining mark
  CriticalSection cursorLock_;  // the write cursor
  std::shared_ptr<DirectSound> sound_;
  std::string soundDevice_;  // the sink device sound_ plays to
  std::shared_ptr<DsBuffer> buffer_;
  uint32_t bufferMillis_ = 0;
  uint32_t bufferBytes_ = 0;
  uint32_t writeCursor_ = 0;
  bool draining_ = false;
  bool playOnWrite_ = false;  // a format change left a playing buffer to start once filled
  bool enableFloat_ = false;
  double volume_ = 1.0;
  double balance_ = 0.0;
};

}  // namespace vk2

// A media system without chains: it keeps the state a real one keeps, talks to its owner as a
// real one does, logs every call, and lets a test end the playing item or hold the caller.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "component/object/com_object.h"
#include "interfaces/core/media_system.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/preference_store.h"
#include "tests/core/player/fakes/chainless_media_system.h"

namespace vk2::test {

class FakeMediaSystem final
    : public ComObject<FakeMediaSystem, Face<ChainlessMediaSystem, kIID_MMediaSystem>> {
 public:
  int32_t GetFileExtensionText(TString* text) override;
  int32_t GetFileExtensions(MediaTypeList* list) override;
  int32_t SetOwner(MediaSystemOwner* owner) override;
  int32_t GetTransition(int32_t* method, double* seconds) override;
  int32_t SetTransition(int32_t method, double seconds) override;
  int32_t Play() override;
  int32_t Stop() override;
  int32_t Pause() override;
  int32_t SwitchToNewChain(uint32_t itemId) override;
  int32_t SeekStream(double seconds, uint32_t flags) override;
  int32_t GetState() override;
  int32_t SetVolume(double volume) override;
  int32_t PrepareScan(const ItemInfo* item, int32_t full, int32_t costLimit) override;
  int32_t GetPlayInfo(MediaPlayInfo* info) override;
  int32_t GetString(const char16_t* name, TString* value) override;
  int32_t GetNumber(const char16_t* name, double* value) override;
  int32_t SetString(const char16_t* name, const char16_t* value) override;
  int32_t LoadSettings(MPreferenceStore* store) override;
  int32_t SendFilterMessage(const char16_t* text, uint32_t reserved) override;
  int32_t FillItemInfo(ItemInfo* item) override;
  int32_t HoldPosition(double seconds) override;

  // The playing item reached its end: the owner advances, or playback stops.
  void EndOfItem();
  // A chain reports a failure.
  void FailPlaying(const char16_t* text);

  // While closed, SwitchToNewChain waits (the player thread is busy) until the gate opens or a
  // Stop cancels it.
  void CloseGate();
  void OpenGate();
  // Waits until a SwitchToNewChain is held at the closed gate.
  bool WaitAtGate();

  // Builds fail with kFakeBuildFailed.
  void FailBuilds(bool fail);
  void SetStreamTimes(double streamTime, double totalTime);
  // Properties answered by GetString / GetNumber ("insertedaudiotitle", ...).
  void SetTextProperty(const std::u16string& name, const std::u16string& value);
  void SetNumberProperty(const std::u16string& name, double value);
  void PlayInsertedAudio();

  // Every call worth checking, in order, as "Name(args)".
  std::vector<std::string> Calls();
  void ClearCalls();
  uint32_t PlayingItem();
  double Volume();
  double HeldPosition();
  int32_t MethodInForce();
  double TimeInForce();
  MediaSystemOwner* Owner();

 private:
  void Log(std::string call);
  int32_t SwitchLocked(uint32_t itemId, std::unique_lock<std::recursive_mutex>& lock);

  std::recursive_mutex mutex_;
  std::condition_variable_any gate_;
  bool gateClosed_ = false;
  bool atGate_ = false;
  uint64_t stops_ = 0;
  MediaSystemOwner* owner_ = nullptr;
  int32_t state_ = kMediaStopped;
  uint32_t playing_ = 0;
  int32_t method_ = kPlaybackNormal;
  double time_ = 5.0;
  double volume_ = 1.0;
  double held_ = -1.0;
  double streamTime_ = 0.0;
  double totalTime_ = -1.0;
  bool failBuilds_ = false;
  std::vector<std::pair<std::u16string, std::u16string>> texts_;
  std::vector<std::pair<std::u16string, double>> numbers_;
  std::vector<std::string> calls_;
};

}  // namespace vk2::test

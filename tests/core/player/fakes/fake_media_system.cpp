#include "tests/core/player/fakes/fake_media_system.h"

#include <chrono>

#include "core/playlist/item_info.h"
#include "foundation/util/result.h"
#include "interfaces/audio/media_types.h"
#include "tests/core/player/fakes/call_text.h"

namespace vk2::test {

namespace {

std::string Number(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", v);
  return buffer;
}

}  // namespace

void FakeMediaSystem::Log(std::string call) {
  std::lock_guard lock(mutex_);
  calls_.push_back(std::move(call));
}

std::vector<std::string> FakeMediaSystem::Calls() {
  std::lock_guard lock(mutex_);
  return calls_;
}

void FakeMediaSystem::ClearCalls() {
  std::lock_guard lock(mutex_);
  calls_.clear();
}

int32_t FakeMediaSystem::GetFileExtensionText(TString* text) {
  *text = u"*.wav*.mp3";
  return kOk;
}

int32_t FakeMediaSystem::GetFileExtensions(MediaTypeList* list) {
  list->Append(u"*.wav", u"WAVE audio");
  return kOk;
}

int32_t FakeMediaSystem::SetOwner(MediaSystemOwner* owner) {
  std::lock_guard lock(mutex_);
  owner_ = owner;
  return kOk;
}

MediaSystemOwner* FakeMediaSystem::Owner() {
  std::lock_guard lock(mutex_);
  return owner_;
}

int32_t FakeMediaSystem::GetTransition(int32_t* method, double* seconds) {
  std::lock_guard lock(mutex_);
  *method = method_;
  *seconds = time_;
  return kOk;
}

int32_t FakeMediaSystem::SetTransition(int32_t method, double seconds) {
  if (!IsKnownPlaybackMethod(method)) return kErrOutOfRange;
  std::lock_guard lock(mutex_);
  method_ = method;
  if (seconds != kKeepTransitionTime) time_ = seconds;
  calls_.push_back("SetTransition(" + std::to_string(method) + "," + Number(seconds) + ")");
  return kOk;
}

int32_t FakeMediaSystem::MethodInForce() {
  std::lock_guard lock(mutex_);
  return method_;
}

double FakeMediaSystem::TimeInForce() {
  std::lock_guard lock(mutex_);
  return time_;
}

int32_t FakeMediaSystem::Play() {
  Log("Play");
  {
    std::lock_guard lock(mutex_);
    if (state_ == kMediaPlaying) return kFakeAlreadyInState;
    if (state_ == kMediaPaused) {
      state_ = kMediaPlaying;
      return kOk;
    }
    state_ = kMediaPlaying;
  }
  const int32_t r = SwitchToNewChain(0);
  if (r < 0) {
    std::lock_guard lock(mutex_);
    state_ = kMediaStopped;
  }
  return r;
}

int32_t FakeMediaSystem::Stop() {
  Log("Stop");
  std::lock_guard lock(mutex_);
  ++stops_;
  gate_.notify_all();
  if (state_ == kMediaStopped) return kFakeAlreadyInState;
  state_ = kMediaStopped;
  playing_ = 0;
  return kOk;
}

int32_t FakeMediaSystem::Pause() {
  Log("Pause");
  std::lock_guard lock(mutex_);
  if (state_ != kMediaPlaying) return kFakeWrongState;
  state_ = kMediaPaused;
  return kOk;
}

void FakeMediaSystem::CloseGate() {
  std::lock_guard lock(mutex_);
  gateClosed_ = true;
}

void FakeMediaSystem::OpenGate() {
  {
    std::lock_guard lock(mutex_);
    gateClosed_ = false;
  }
  gate_.notify_all();
}

bool FakeMediaSystem::WaitAtGate() {
  std::unique_lock lock(mutex_);
  return gate_.wait_for(lock, std::chrono::seconds(10), [&] { return atGate_; });
}

int32_t FakeMediaSystem::SwitchToNewChain(uint32_t itemId) {
  Log("Switch(" + std::to_string(itemId) + ")");
  MediaSystemOwner* owner = nullptr;
  {
    std::unique_lock lock(mutex_);
    if (gateClosed_) {
      // A Stop cancels the switch held here, as the media system's Stop does.
      const uint64_t stops = stops_;
      atGate_ = true;
      gate_.notify_all();
      gate_.wait(lock, [&] { return !gateClosed_ || stops_ != stops; });
      atGate_ = false;
      if (stops_ != stops) return kErrCancelled;
    }
    owner = owner_;
  }
  if (!owner) return kErrAccessDenied;
  if (itemId != 0) {
    const int32_t r = owner->SelectItem(itemId);
    if (r < 0) return r;
  }
  bool stopped = false;
  {
    std::lock_guard lock(mutex_);
    stopped = state_ == kMediaStopped;
  }
  if (stopped) {
    owner->OnStreamIdChanged(itemId);
    return kOk;
  }
  ItemInfo item;
  const int32_t r = owner->GetCurrentItem(&item);
  if (r < 0) return r;
  {
    std::lock_guard lock(mutex_);
    if (failBuilds_) return kFakeBuildFailed;
    if (playing_ == item.id) {
      calls_.push_back("Restart(" + std::to_string(item.id) + ")");
      streamTime_ = 0.0;
      return kOk;
    }
    playing_ = item.id;
    streamTime_ = 0.0;
  }
  owner->OnStreamIdChanged(item.id);
  return kOk;
}

void FakeMediaSystem::EndOfItem() {
  MediaSystemOwner* owner = Owner();
  {
    std::lock_guard lock(mutex_);
    if (state_ != kMediaPlaying || !owner) return;
  }
  if (owner->Advance() >= 0) {
    if (SwitchToNewChain(0) < 0) Stop();
    return;
  }
  Stop();
  owner->OnStreamIdChanged(0);
}

void FakeMediaSystem::FailPlaying(const char16_t* text) {
  Stop();
  if (MediaSystemOwner* owner = Owner()) owner->OnError(text);
}

int32_t FakeMediaSystem::SeekStream(double seconds, uint32_t flags) {
  Log("Seek(" + Number(seconds) + "," + std::to_string(flags) + ")");
  std::lock_guard lock(mutex_);
  if (state_ == kMediaStopped) return kFakeWrongState;
  streamTime_ = seconds;
  return kOk;
}

int32_t FakeMediaSystem::GetState() {
  std::lock_guard lock(mutex_);
  return state_;
}

int32_t FakeMediaSystem::SetVolume(double volume) {
  std::lock_guard lock(mutex_);
  volume_ = volume;
  calls_.push_back("SetVolume(" + Number(volume) + ")");
  return kOk;
}

double FakeMediaSystem::Volume() {
  std::lock_guard lock(mutex_);
  return volume_;
}

int32_t FakeMediaSystem::PrepareScan(const ItemInfo* item, int32_t full, int32_t costLimit) {
  Log("PrepareScan(" + std::to_string(item->id) + "," + std::to_string(full) + "," +
      std::to_string(costLimit) + ")");
  return kOk;
}

int32_t FakeMediaSystem::GetPlayInfo(MediaPlayInfo* info) {
  std::lock_guard lock(mutex_);
  *info = MediaPlayInfo{};
  info->state = state_;
  info->currentStreamId = static_cast<int32_t>(playing_);
  info->streamId = playing_;
  info->totalTime = totalTime_;
  info->streamTime = held_ != -1.0 ? held_ : streamTime_;
  info->volume = volume_;
  return kOk;
}

void FakeMediaSystem::SetStreamTimes(double streamTime, double totalTime) {
  std::lock_guard lock(mutex_);
  streamTime_ = streamTime;
  totalTime_ = totalTime;
}

void FakeMediaSystem::PlayInsertedAudio() {
  std::lock_guard lock(mutex_);
  state_ = kMediaPlaying;
  playing_ = 0xFFFFFFFFu;
}

void FakeMediaSystem::SetTextProperty(const std::u16string& name, const std::u16string& value) {
  std::lock_guard lock(mutex_);
  texts_.emplace_back(name, value);
}

void FakeMediaSystem::SetNumberProperty(const std::u16string& name, double value) {
  std::lock_guard lock(mutex_);
  numbers_.emplace_back(name, value);
}

int32_t FakeMediaSystem::GetString(const char16_t* name, TString* value) {
  std::lock_guard lock(mutex_);
  for (auto& [n, v] : texts_) {
    if (n == name) {
      *value = v.c_str();
      return kOk;
    }
  }
  return kFakeWrongState;
}

int32_t FakeMediaSystem::GetNumber(const char16_t* name, double* value) {
  std::lock_guard lock(mutex_);
  for (auto& [n, v] : numbers_) {
    if (n == name) {
      *value = v;
      return kOk;
    }
  }
  return kFakeWrongState;
}

int32_t FakeMediaSystem::SetString(const char16_t* name, const char16_t* value) {
  Log("SetString(" + Narrow(name) + "," + Narrow(value) + ")");
  return kOk;
}

int32_t FakeMediaSystem::LoadSettings(MPreferenceStore*) {
  Log("LoadSettings");
  return kOk;
}

int32_t FakeMediaSystem::SendFilterMessage(const char16_t* text, uint32_t reserved) {
  Log("FilterMessage(" + Narrow(text) + "," + std::to_string(reserved) + ")");
  return kOk;
}

int32_t FakeMediaSystem::FillItemInfo(ItemInfo* item) {
  std::lock_guard lock(mutex_);
  if (item->id != playing_) return kErrFailed;
  if (totalTime_ >= 0.0) item->SetDuration(static_cast<float>(totalTime_), kDurationVerified);
  item->SetScan(kScanComplete);
  item->Set(kScanPresent);
  calls_.push_back("Fill(" + std::to_string(item->id) + ")");
  return kOk;
}

int32_t FakeMediaSystem::HoldPosition(double seconds) {
  std::lock_guard lock(mutex_);
  held_ = seconds;
  calls_.push_back("Hold(" + Number(seconds) + ")");
  return 1;
}

double FakeMediaSystem::HeldPosition() {
  std::lock_guard lock(mutex_);
  return held_;
}

uint32_t FakeMediaSystem::PlayingItem() {
  std::lock_guard lock(mutex_);
  return playing_;
}

void FakeMediaSystem::FailBuilds(bool fail) {
  std::lock_guard lock(mutex_);
  failBuilds_ = fail;
}

}  // namespace vk2::test

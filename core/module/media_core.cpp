#include "core/module/media_core.h"

#include <algorithm>
#include <cstdlib>

#include "core/module/core_packet.h"
#include "core/module/text_scrambler.h"
#include "foundation/util/result.h"

namespace vk2 {
namespace {

constexpr char16_t kVersion[] = u"alpha 1";
constexpr char16_t kBuildDate[] = u"Jun 29 2001 20:44:02";

}  // namespace

// A sink handed to whoever sends the core command packets. It keeps a pointer back to the
// core, cleared when the core goes first.
class MediaCore::CallbackSink final
    : public ComObject<CallbackSink, Face<MMediaCoreNotify, kIID_MMediaCoreNotify>> {
 public:
  CallbackSink(MediaCore* core, uintptr_t callback) : core_(core), callback_(callback) {}

  int32_t OnPacket(const MediaCorePacket& packet) override {
    if (packet.type != kMediaCorePacketCommand) return kOk;
    std::vector<TString> strings;
    // "init" is the one command known; it needs nothing done. Malformed packets are dropped.
    ParseCommandPacket(packet.payload, packet.payloadBytes, &strings);
    return kOk;
  }
  int32_t Reserved() override { return kErrCannotOpen; }
  // Packet buffers cross modules as C allocations.
  int32_t FreeBuffer(void* buffer) override {
    std::free(buffer);
    return kOk;
  }
  void Detach() { core_ = nullptr; }
  bool Attached() const { return core_ != nullptr; }
  uintptr_t Callback() const { return callback_; }

 private:
  ~CallbackSink() override = default;

  MediaCore* core_;
  const uintptr_t callback_;
};

void MediaCore::EventSink::OnEvent(MPlayer* player, int32_t code, const char16_t* text) {
  core_->Post({code, TString(text), RefPtr<MPlayer>(player)});
}

MediaCore::MediaCore(MediaCoreEnvironment environment)
    : makePreferences_(std::move(environment.makePreferences)),
      listeners_([](MCoreListener* listener, const CoreEvent& event) {
        listener->OnCoreEvent(event.code, event.text, event.player.Get());
      }),
      playlists_(Identity(), std::move(environment.playlists)),
      players_(Identity(), WithCoreListener(std::move(environment.players))) {
  eventThread_ = std::thread([this] { RunEvents(); });
}

PlayerManagerEnvironment MediaCore::WithCoreListener(PlayerManagerEnvironment players) {
  players.coreListener = &eventSink_;
  return players;
}

MediaCore::~MediaCore() {
  std::lock_guard lock(sinksMutex_);
  for (CallbackSink* sink : sinks_) {
    sink->Detach();
    sink->Release();
  }
}

void MediaCore::BeforeDestroy() {
  // Players first: they are saved, shut down and stop posting before the event thread ends.
  RemoveAllObjects();
  std::lock_guard lock(eventMutex_);
  stopping_ = true;
  eventWake_.notify_all();
}

void MediaCore::Destroy() {
  if (std::this_thread::get_id() == eventThread_.get_id()) {
    // The last reference went inside a listener: the event thread finishes and deletes.
    std::lock_guard lock(eventMutex_);
    deleteOnExit_ = true;
    return;
  }
  eventThread_.join();
  delete this;
}

void MediaCore::Post(CoreEvent event) {
  listeners_.Post(std::move(event));
  std::lock_guard lock(eventMutex_);
  eventsWaiting_ = true;
  eventWake_.notify_all();
}

void MediaCore::RunEvents() {
  std::unique_lock lock(eventMutex_);
  for (;;) {
    eventWake_.wait(lock, [&] { return eventsWaiting_ || stopping_; });
    if (stopping_) break;
    eventsWaiting_ = false;
    lock.unlock();
    listeners_.Deliver();
    lock.lock();
  }
  const bool deleteSelf = deleteOnExit_;
  lock.unlock();
  if (deleteSelf) {
    eventThread_.detach();
    delete this;
  }
}

int32_t MediaCore::SetName(const TString& name) {
  std::lock_guard lock(nameMutex_);
  name_ = name;
  return kOk;
}

int32_t MediaCore::GetName(TString* name) {
  if (!name) return kErrMissingArg;
  std::lock_guard lock(nameMutex_);
  *name = name_;
  return kOk;
}

int32_t MediaCore::RemoveAllObjects() {
  players_.RemoveAll();
  playlists_.RemoveAll();
  return kOk;
}

int32_t MediaCore::GetVersion(TString* version) {
  if (!version) return kErrMissingArg;
  *version = kVersion;
  return kOk;
}

int32_t MediaCore::GetBuildDate(TString* date) {
  if (!date) return kErrMissingArg;
  *date = kBuildDate;
  return kOk;
}

int32_t MediaCore::ScrambleText(TString* out, const TString& in, int32_t unscramble) {
  if (!out) return kErrMissingArg;
  *out = unscramble ? UnscrambleText(in) : vk2::ScrambleText(in);
  return kOk;
}

int32_t MediaCore::GetProxySettings(MProxyReceiver* receiver) {
  if (!receiver) return kErrMissingArg;
  RefPtr<MPreferenceStore> section = OpenPreferenceSection(makePreferences_, u"proxy");
  if (!section) return kErrNoService;
  bool enabled = false;
  if (section->GetBool(u"enabled", &enabled) < 0 || !enabled) return kOk;
  TString url;
  if (section->GetString(u"URL", &url) < 0 || url.IsEmpty()) return kOk;
  ProxyRecord proxy;
  proxy.url = Utf8(url);
  bool authenticated = false;
  if (section->GetBool(u"authenabled", &authenticated) >= 0 && authenticated) {
    TString user, password;
    section->GetString(u"AuthName", &user);
    section->GetString(u"AuthPassword", &password);
    proxy.user = Utf8(user);
    proxy.password = Utf8(UnscrambleText(password));
  }
  receiver->SetProxy(proxy);
  return kOk;
}

int32_t MediaCore::RegisterCallbackSink(MMediaCoreNotify** out, uintptr_t callback, uintptr_t,
                                        uintptr_t, uintptr_t, uintptr_t required) {
  if (!out || !callback || !required) return kErrMissingArg;
  *out = nullptr;
  auto* sink = new (std::nothrow) CallbackSink(this, callback);
  if (!sink) return kErrOutOfMemory;
  sink->AddRef();  // the core's
  {
    std::lock_guard lock(sinksMutex_);
    sinks_.push_back(sink);
  }
  sink->AddRef();
  *out = sink;
  return kOk;
}

int32_t MediaCore::UnregisterCallbackSink(MMediaCoreNotify* sink) {
  if (!sink) return kErrMissingArg;
  CallbackSink* found = nullptr;
  {
    std::lock_guard lock(sinksMutex_);
    auto it = std::find_if(sinks_.begin(), sinks_.end(), [&](CallbackSink* s) {
      return static_cast<MMediaCoreNotify*>(s) == sink;
    });
    if (it == sinks_.end()) return kErrNotFound;
    found = *it;
    sinks_.erase(it);
  }
  found->Detach();
  found->Release();
  return kOk;
}

int32_t MediaCore::AddRemoveListener(MCoreListener* listener, int32_t add) {
  return listeners_.AddRemove(listener, add);
}

int32_t MediaCore::Reserved() {
  // The reserved operation answers this whatever it is given.
  return kErrCannotOpen;
}

}  // namespace vk2

#include "visual/plugin/plugin_host_info.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/util/result.h"
#include "visual/host/visual_entry.h"

namespace vk2 {
namespace {

// GetInfo's playback state (the low bits of its state word).
constexpr uint32_t kInfoPlaying = 1;
constexpr uint32_t kInfoPaused = 2;

char* CopyText(const std::string& text) {
  char* out = static_cast<char*>(std::malloc(text.size() + 1));
  if (out) std::memcpy(out, text.c_str(), text.size() + 1);
  return out;
}

PluginHostInfo* OwnerOf(VisualHostInfo* self) {
  return self ? reinterpret_cast<PluginHostInfo::PluginFace*>(self)->owner : nullptr;
}

int32_t HostGetInteger(VisualHostInfo* self, const char* name, int32_t* value) {
  PluginHostInfo* owner = OwnerOf(self);
  return owner && owner->GetInteger(name, value) ? 1 : 0;
}

char* HostGetString(VisualHostInfo* self, const char* name) {
  PluginHostInfo* owner = OwnerOf(self);
  return owner ? owner->GetString(name) : nullptr;
}

void HostFreeString(VisualHostInfo*, char* text) {
  std::free(text);
}

constexpr VisualHostInfoOps kPluginOps = {&HostGetInteger, &HostGetString, &HostFreeString};

bool Named(const char* name, const char* expected) {
  return name && std::strcmp(name, expected) == 0;
}

}  // namespace

PluginHostInfo::PluginHostInfo(VisualEntry* entry, RefPtr<MPlayer> player)
    : entry_(entry), player_(std::move(player)), plugin_{{&kPluginOps}, this} {}

bool PluginHostInfo::PlayerString(const char16_t* name, TString* value) {
  return player_ && player_->GetString(name, value) >= 0;
}

bool PluginHostInfo::PlayerNumber(const char16_t* name, double* value) {
  return player_ && player_->GetNumber(name, value) >= 0;
}

uint32_t PluginHostInfo::CurrentChain() {
  int32_t chain = 0;
  if (!player_ || player_->GetInteger(u"currentchainid", &chain) < 0) return 0;
  return static_cast<uint32_t>(chain);
}

bool PluginHostInfo::GetInteger(const char* name, int32_t* value) {
  if (!value) return false;
  const char16_t* property = Named(name, "currentsonglength")     ? u"totaltime"
                             : Named(name, "currentsongposition") ? u"streamtime"
                                                                  : nullptr;
  double seconds = 0;
  if (!property || !PlayerNumber(property, &seconds)) return false;
  *value = static_cast<int32_t>(seconds * 1000.0);
  return true;
}

char* PluginHostInfo::GetString(const char* name) {
  if (!name) return nullptr;
  if (Named(name, "currentskinname")) return CopyText("unknown");
  if (Named(name, "currentsongdisplaystring")) return CopyText("displaystringgoeshere");
  const char16_t* property = Named(name, "currentsongfilename") ? u"url"
                             : Named(name, "currentsongtitle")  ? u"title"
                             : Named(name, "currentsongauthor") ? u"author"
                                                                : nullptr;
  if (property) {
    TString text;
    if (!PlayerString(property, &text)) return nullptr;
    return CopyText(Utf8(text).c_str());
  }
  int32_t number = 0;
  if (!GetInteger(name, &number)) return nullptr;
  return CopyText(std::to_string(number));
}

void PluginHostInfo::SetName(const char16_t* name) {
  if (entry_ && name) entry_->SetName(name);
}

void PluginHostInfo::GetName(TString* name) {
  if (name && entry_) *name = entry_->Name();
}

MUnknown* PluginHostInfo::QueryPlayer(const Guid& iid) {
  void* out = nullptr;
  if (!player_ || player_->QueryInterface(iid, &out, 1, 0) < 0) return nullptr;
  return static_cast<MUnknown*>(out);
}

bool PluginHostInfo::GetFormat(uint32_t* channels, uint32_t* rate, uint32_t* bits, bool* isFloat) {
  return entry_ && entry_->History()->GetFormat(CurrentChain(), channels, rate, bits, isFloat);
}

bool PluginHostInfo::GetPlayState(int32_t* state, int64_t* heard, int64_t* oldest,
                                  int64_t* newest) {
  if (!state || !player_) return false;
  PlayerInfo info{};
  if (player_->GetInfo(&info) < 0) return false;
  const uint32_t bits = info.state & kPlayerStateMask;
  if (bits != kInfoPlaying && bits != kInfoPaused) {
    *state = kVisualSourceIdle;
    return true;
  }
  *state = bits == kInfoPlaying ? kVisualSourcePlaying : kVisualSourcePaused;
  int32_t heardBytes = 0;
  if (player_->GetInteger(u"heardbytes", &heardBytes) < 0) return false;
  if (heard) *heard = heardBytes;
  int64_t first = 0, last = 0;
  if (!entry_->History()->Range(CurrentChain(), &first, &last)) return false;
  if (oldest) *oldest = first;
  if (newest) *newest = last;
  return true;
}

int64_t PluginHostInfo::GetHeardBytes() {
  int32_t heard = 0;
  if (!player_ || player_->GetInteger(u"heardbytes", &heard) < 0) return 0;
  return heard;
}

int32_t PluginHostInfo::ReadSamples(int64_t position, uint32_t channel, uint32_t count,
                                    int8_t* destination) {
  return entry_->History()->Read(CurrentChain(), channel, position, count, destination);
}

bool PluginHostInfo::GetTotalTime(double* seconds) {
  return seconds && PlayerNumber(u"totaltime", seconds);
}

bool PluginHostInfo::GetStreamTime(double* seconds) {
  return seconds && PlayerNumber(u"streamtime", seconds);
}

bool PluginHostInfo::GetUrl(TString* url) {
  return url && PlayerString(u"url", url);
}

bool PluginHostInfo::GetTitle(TString* title) {
  return title && PlayerString(u"title", title);
}

bool PluginHostInfo::GetAuthor(TString* author) {
  return author && PlayerString(u"author", author);
}

}  // namespace vk2

#include "gui/bridge/player_status.h"

namespace vk2::gui {

TString PositionText(double seconds) {
  auto whole = static_cast<int64_t>(seconds);
  if (whole < 0) whole = 0;
  const auto s = static_cast<int32_t>(whole % 60);
  const auto m = static_cast<int32_t>((whole / 60) % 60);
  if (whole >= 3600)
    return TString::Format(u"%d:%02d:%02d", static_cast<int32_t>(whole / 3600), m, s);
  return TString::Format(u"%02d:%02d", static_cast<int32_t>(whole / 60), s);
}

TString VolumeText(double volume) {
  return TString::Format(u"(%d%%)", static_cast<int32_t>(volume * 100.0));
}

TString RepeatText(uint32_t mode) {
  if (mode == kRepeatOff) return u"Repeat off";
  if (mode == kRepeatOne) return u"Repeat one";
  return u"Repeat all";
}

StatusRecord ValueRecord(const char16_t* name, const TString& text, double value) {
  StatusRecord record;
  record.kind = kStatusValue;
  record.subKind = 1;
  record.name = name;
  record.text = text;
  record.fraction = value;
  return record;
}

StatusRecord TextRecord(const TString& text, uint32_t level) {
  StatusRecord record;
  record.subKind = level;
  record.text = text;
  return record;
}

namespace {

std::vector<StatusRecord> SeekStatus(MPlayer* player) {
  PlayerInfo info;
  if (!player || player->GetInfo(&info) < 0) return {};
  TString time = PositionText(info.time);
  const uint32_t kind = info.item.GetDurationType();
  if ((kind == 2 || kind == 4) && info.item.duration != 0.0f) {
    return {ValueRecord(u"Seek", time, info.time / info.item.duration)};
  }
  return {TextRecord(TString::Format(u"Seek   %s", time), kStatusProgress)};
}

}  // namespace

std::vector<StatusRecord> StatusForEvent(int32_t code, const TString& text, MPlayer* player,
                                         const PlayerEventTexts& texts) {
  switch (code) {
    case kPlayerPlaying:
      return {TextRecord(u"Playing", kStatusProgress)};
    case kPlayerPlayFailed:
      return {TextRecord(TString::Format(u"Playback failed: %s", text), kStatusError),
              TextRecord(texts.versionText(), kStatusCurrent)};
    case kPlayerStopping:
      return {TextRecord(u"Playback stopped", kStatusProgress),
              TextRecord(texts.versionText(), kStatusCurrent)};
    case kPlayerPausing:
      return {TextRecord(u"Playback paused", kStatusProgress)};
    case kPlayerSongStarted: {
      TString display = texts.displayString ? texts.displayString() : TString();
      return {TextRecord(display.IsEmpty() ? TString(u"Now playing...") : display, kStatusCurrent)};
    }
    case kPlayerSeeking:
      return SeekStatus(player);
    case kPlayerSeeked:
      return {TextRecord(u"Seeked", kStatusProgress)};
    case kPlayerVolumeChanged: {
      double volume = 0.0;
      if (!player || player->GetVolume(&volume) < 0) return {};
      return {ValueRecord(u"Volume", VolumeText(volume), volume)};
    }
    case kPlayerShuffleChanged: {
      uint8_t shuffle = 0;
      if (!player || player->GetShuffle(&shuffle) < 0) return {};
      return {TextRecord(shuffle ? u"Shuffle play: on" : u"Shuffle play: off", kStatusProgress)};
    }
    case kPlayerRepeatChanged: {
      uint32_t mode = 0;
      if (!player || player->GetRepeat(&mode) < 0) return {};
      return {TextRecord(RepeatText(mode), kStatusProgress)};
    }
    default:
      return {};
  }
}

}  // namespace vk2::gui

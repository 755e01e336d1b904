#include "audio/effects/pitch_amp_balance_filter.h"
#include "component/object/query.h"

#include <cmath>
#include <cstdint>
#include <new>

#include "audio/common/audio_runtime.h"
#include "audio/common/format_record.h"
#include "audio/effects/effect_formats.h"
#include "foundation/util/result.h"

namespace vk2 {
namespace {

constexpr char16_t kPitchKey[] = u"pitch";
constexpr char16_t kAmplificationKey[] = u"amplification";
constexpr char16_t kBalanceKey[] = u"balance";

// A stored value out of its range is taken as damage: the default stands in for it.
double ReadChecked(MPreferenceStore* section, const char16_t* name, double fallback,
                   bool (*inRange)(double)) {
  double v = fallback;
  if (section->GetDouble(name, &v) < 0 || !inRange(v)) return fallback;
  return v;
}

}  // namespace

RefPtr<PitchAmpBalanceFilter> PitchAmpBalanceFilter::Make() {
  return RefPtr<PitchAmpBalanceFilter>(new (std::nothrow) PitchAmpBalanceFilter);
}

PitchAmpBalanceFilter::PitchAmpBalanceFilter()
    : pool_(AudioCreate<MPacketPool>(kAudioSystemClass, kIID_MPacketPool)),
      store_(AudioCreate<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore)),
      properties_(Identity(), &table_, this) {
  table_.AddIdentity(u"PitchAmpBal", u"Velkora Built-in Pitch/Amplification/Balance Adjuster", 1.0);
  const auto getter = [this](const double* field) {
    return [this, field](double* v) {
      ScopedLock lock(lock_);
      *v = *field;
      return kOk;
    };
  };
  table_.AddNumber(kPitchKey, kPropStoredNumber,
                   u"the pitch adjustment parameter currently set (0.125 to 8.0)", getter(&pitch_),
                   [this](double v) { return SetValue(&pitch_, v, IsFactorInRange(v)); });
  table_.AddNumber(kAmplificationKey, kPropStoredNumber,
                   u"the amplification adjustment parameter currently set (0.125 to 8.0)",
                   getter(&amplification_),
                   [this](double v) { return SetValue(&amplification_, v, IsFactorInRange(v)); });
  table_.AddNumber(kBalanceKey, kPropStoredNumber,
                   u"the balance adjustment parameter currently set (-1.0 <left> to 1.0 <right>)",
                   getter(&balance_),
                   [this](double v) { return SetValue(&balance_, v, IsBalanceInRange(v)); });
}

PitchAmpBalanceFilter::~PitchAmpBalanceFilter() = default;

int32_t PitchAmpBalanceFilter::SetValue(double* field, double value, bool inRange) {
  if (!inRange) return kErrOutOfRange;
  ScopedLock lock(lock_);
  *field = value;
  return kOk;
}

void PitchAmpBalanceFilter::ReadValues(MPreferenceStore* section) {
  if (!section) return;
  pitch_ = ReadChecked(section, kPitchKey, 1.0, &IsFactorInRange);
  amplification_ = ReadChecked(section, kAmplificationKey, 1.0, &IsFactorInRange);
  balance_ = ReadChecked(section, kBalanceKey, 0.0, &IsBalanceInRange);
}

int32_t PitchAmpBalanceFilter::LoadEffectSettings(MPreferenceStore* section) {
  if (!section) return kErrMissingArg;
  RefPtr<MPreferenceStore> kept = Query<MPreferenceStore>(section, kIID_MPreferenceStore);
  if (!kept) {
    return kErrNoInterface;
  }
  ScopedLock lock(lock_);
  ReadValues(section);
  store_ = std::move(kept);
  return kOk;
}

int32_t PitchAmpBalanceFilter::SaveEffectSettings(MPreferenceStore* section) {
  if (!section) return kErrMissingArg;
  ScopedLock lock(lock_);
  section->SetDouble(kPitchKey, pitch_);
  section->SetDouble(kAmplificationKey, amplification_);
  section->SetDouble(kBalanceKey, balance_);
  return kOk;
}

void PitchAmpBalanceFilter::OnFilterMessage(const TString& text) {
  if (!text.Equals(kPitchAmpBalReloadMessage, false)) return;
  ScopedLock lock(lock_);
  ReadValues(store_.Get());
}

int32_t PitchAmpBalanceFilter::PullPacket(AudioModuleOutput* upstream, AudioPacket** slot) {
  const int32_t r = upstream->GetPacket(slot);
  if (r < 0) return r;
  AudioPacket* packet = *slot;
  if (!packet) return r;
  if (!packet->format || !IsPcm(*packet->format)) return MediaError(kMsIncompatibleFormat);
  const AudioFormat& incoming = *packet->format;
  double pitch;
  std::vector<double> gains;
  {
    ScopedLock lock(lock_);
    if (!format_ || !SameFormat(*format_, incoming)) {
      resampler_.Reset(incoming.channels);
      if (!IsEffectFormat(incoming)) {
        *slot = nullptr;
        packet->Release();
        return MediaError(kMsIncompatibleFormat);
      }
      RefPtr<AudioFormat> next =
          MakeFormat(kFormatPcm, incoming.sampleRate, incoming.channels, incoming.bitsPerSample,
                     incoming.isFloat != 0, incoming.isSigned != 0);
      if (!next) return kErrOutOfMemory;
      format_ = std::move(next);
    }
    pitch = pitch_;
    gains = ChannelGains(amplification_, balance_, incoming.channels);
  }

  const uint32_t frameBytes = BytesPerFrame(incoming);
  const uint32_t inFrames = packet->byteCount / frameBytes;
  if (pitch == 1.0) {
    resampler_.ApplyGains(packet->data, inFrames, incoming, gains);
    return r;
  }
  if (inFrames == 0) return r;  // nothing to stretch: handed on as it came
  const double stretched = std::floor(static_cast<double>(inFrames) / pitch);
  // A slowed-down packet is up to 8 times its input: refuse what its byte count cannot hold.
  if (stretched * frameBytes > static_cast<double>(UINT32_MAX) || !pool_) {
    *slot = nullptr;
    packet->Release();
    return pool_ ? kErrOutOfMemory : kErrNoService;
  }
  const auto outFrames = static_cast<uint32_t>(stretched);
  RefPtr<AudioPacket> out;
  const int32_t acquired = pool_->AcquirePacket(out.Put(), outFrames * frameBytes);
  if (acquired < 0 || !out) {
    *slot = nullptr;
    packet->Release();
    return acquired < 0 ? acquired : kErrOutOfMemory;
  }
  out->flags = packet->flags;
  out->streamId = packet->streamId;
  out->position = packet->position;
  out->length = packet->length;
  out->SetFormat(packet->format);
  out->byteCount = outFrames * frameBytes;
  resampler_.Resample(packet->data, inFrames, out->data, outFrames, incoming, gains);
  *slot = out.Detach();
  packet->Release();
  return r;
}

}  // namespace vk2

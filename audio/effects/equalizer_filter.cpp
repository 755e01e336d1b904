#include "audio/effects/equalizer_filter.h"
#include "component/object/query.h"

#include <new>

#include "audio/common/audio_runtime.h"
#include "audio/common/format_record.h"
#include "audio/effects/effect_formats.h"
#include "foundation/util/result.h"

namespace vk2 {
namespace {

constexpr char16_t kNumBandsProperty[] = u"numbands";
constexpr char16_t kHelpNumBands[] =
    u"the number of bands that the equalizer is currently configured for";

}  // namespace

RefPtr<EqualizerFilter> EqualizerFilter::Make() {
  return RefPtr<EqualizerFilter>(new (std::nothrow) EqualizerFilter);
}

EqualizerFilter::EqualizerFilter()
    : store_(AudioCreate<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore)),
      properties_(Identity(), &table_, this) {
  table_.AddIdentity(u"Equalizer", u"Velkora Built-in Equalizer", 1.0);
  table_.AddInteger(
      kNumBandsProperty, kPropStoredInteger, kHelpNumBands,
      [this](int32_t* v) {
        ScopedLock lock(lock_);
        *v = static_cast<int32_t>(bank_.Count());
        return kOk;
      },
      [this](int32_t v) { return SetBandCount(v); });
}

EqualizerFilter::~EqualizerFilter() = default;

void EqualizerFilter::BuildForFormat(const std::vector<EqualizerBand>* source) {
  if (format_) bank_.Build(format_->sampleRate, format_->channels, source);
}

int32_t EqualizerFilter::SetBandCount(int32_t count) {
  if (count < 0 || count > kMaxStoredBands) return kErrOutOfRange;
  ScopedLock lock(lock_);
  // With a stream the bands halve down from its Nyquist frequency; without one they wait,
  // flat, for a layout to be read.
  bank_.SetLayout(
      format_ ? HalvingLayout(static_cast<uint32_t>(count), format_->sampleRate / 2.0, false)
              : BandLayout(static_cast<uint32_t>(count)));
  BuildForFormat(nullptr);
  return kOk;
}

int32_t EqualizerFilter::LoadEffectSettings(MPreferenceStore* section) {
  if (!section) return kErrMissingArg;
  RefPtr<MPreferenceStore> kept = Query<MPreferenceStore>(section, kIID_MPreferenceStore);
  if (!kept) {
    return kErrNoInterface;
  }
  ScopedLock lock(lock_);
  bank_.SetLayout(ReadBandLayout(section));
  BuildForFormat(nullptr);
  store_ = std::move(kept);
  return kOk;
}

int32_t EqualizerFilter::SaveEffectSettings(MPreferenceStore*) {
  // The control object owns the stored layout; the filter only reads it.
  return kOk;
}

void EqualizerFilter::OnFilterMessage(const TString& text) {
  if (!text.Equals(kEqualizerReloadMessage, false)) return;
  ScopedLock lock(lock_);
  // Bands that keep their centre and width keep their histories, so a gain change is heard
  // without a click.
  const std::vector<EqualizerBand> previous = bank_.TakeBands();
  bank_.SetLayout(ReadBandLayout(store_.Get()));
  BuildForFormat(&previous);
}

void EqualizerFilter::DescribeMore(PropertyDescriptionList* list) {
  ScopedLock lock(lock_);
  for (uint32_t i = 0; i < bank_.Count(); ++i) {
    const auto n = static_cast<int32_t>(i);
    list->Append(kPropStoredNumber, TString::Format(u"bandfreq_%d", n),
                 TString::Format(u"the frequency that band %d is centred around", n));
    list->Append(
        kPropStoredNumber, TString::Format(u"bandwidth_%d", n),
        TString::Format(u"the width of the frequency band that band %d is centred around", n));
    list->Append(kPropStoredNumber, TString::Format(u"bandgain_%d", n),
                 TString::Format(u"the gain for band %d, -1.0 to 1.0", n));
  }
}

int32_t EqualizerFilter::PullPacket(AudioModuleOutput* upstream, AudioPacket** slot) {
  const int32_t r = upstream->GetPacket(slot);
  if (r < 0) return r;
  AudioPacket* packet = *slot;
  if (!packet) return r;
  if (!packet->format || !IsPcm(*packet->format)) return MediaError(kMsIncompatibleFormat);
  const AudioFormat& incoming = *packet->format;
  {
    ScopedLock lock(lock_);
    if (!format_ || !SameFormat(*format_, incoming)) {
      if (!IsEffectFormat(incoming)) return MediaError(kMsIncompatibleFormat);
      RefPtr<AudioFormat> next =
          MakeFormat(kFormatPcm, incoming.sampleRate, incoming.channels, incoming.bitsPerSample,
                     incoming.isFloat != 0, incoming.isSigned != 0);
      if (!next) return kErrOutOfMemory;
      format_ = std::move(next);
      BuildForFormat(nullptr);
    }
  }
  ScopedLock lock(lock_);
  bank_.Process(packet->data, packet->byteCount, *format_);
  return r;
}

}  // namespace vk2

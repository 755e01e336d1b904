// The URL reader's properties: identity, buffer settings, the stream's metadata from the
// response headers and the audiocast side channel.
#include "audio/common/module_identity.h"
#include "audio/readers/common/reader_results.h"
#include "audio/readers/url/url_reader.h"
#include "foundation/util/result.h"

namespace vk2 {
namespace {

constexpr double kWarmupSeconds = 10.0;

}  // namespace

void UrlReader::AddProperties() {
  table_.AddIdentity(u"URLReader", u"Internet Stream Reader", 1.0);
  table_.AddWarmupTime(kWarmupSeconds);
  table_.AddInteger(u"inprebuffer", kPropInteger,
                    u"whether the stream reader is buffering in anticipation of playback or not",
                    [this](int32_t* v) {
                      *v = inPrebuffer_.load() ? 1 : 0;
                      return kOk;
                    });
  table_.AddString(u"url", kPropDeviceName, u"the source of the data which is to be decoded",
                   [this](TString* v) {
                     ScopedLock lock(propertyLock_);
                     if (!open_ || !CanOpenAtOffset()) return kReaderNotOpen;
                     *v = urlText_;
                     return kOk;
                   });
  constexpr uint32_t kStreamInfo = kPropPlaybackOnly | kPropInfo | kPropString;  // 145
  table_.AddString(
      u"streamtitle", kStreamInfo,
      u"the description of this stream - available only during playback",
      [this](TString* v) { return HeaderProperty("icy-title", "x-audiocast-name", v); });
  table_.AddString(
      u"genre", kStreamInfo,
      u"the genre of the audio stream that is currently being received - available only during "
      u"playback",
      [this](TString* v) { return HeaderProperty("icy-genre", "x-audiocast-genre", v); });
  table_.AddString(u"streamurl", kStreamInfo,
                   u"the web page URL related to this stream - available only during playback",
                   [this](TString* v) { return HeaderProperty("icy-url", "x-audiocast-url", v); });
  for (PropertyTable* t : {&table_, &settings_}) {
    t->AddInteger(
        u"buffersize", kPropStoredInteger, u"the size of the read buffer",
        [this](int32_t* v) {
          ScopedLock lock(propertyLock_);
          *v = bufferSize_;
          return kOk;
        },
        [this](int32_t v) {
          if (v != 0 && v < kMinStreamBufferSize) return kReaderOutOfRange;
          ScopedLock lock(propertyLock_);
          bufferSize_ = v;
          return kOk;
        });
    t->AddNumber(
        u"prebuffer", kPropStoredNumber,
        u"the proportion of the read buffer that must be filled before any data will be passed "
        u"along",
        [this](double* v) {
          ScopedLock lock(propertyLock_);
          *v = prebuffer_;
          return kOk;
        },
        [this](double v) {
          if (!(v >= 0.0 && v <= 1.0)) return kReaderOutOfRange;
          ScopedLock lock(propertyLock_);
          prebuffer_ = v;
          return kOk;
        });
    if (t == &table_) {
      t->AddNumber(u"bufferlevel", kPropNumber,
                   u"the proportion of the read buffer that is currently filled",
                   [this](double* v) {
                     if (!open_ || !CanOpenAtOffset()) return kReaderNotOpen;
                     const size_t capacity = ring_.Capacity();
                     *v = capacity ? static_cast<double>(ring_.Available()) / capacity : 0.0;
                     return kOk;
                   });
    }
    t->AddInteger(
        u"diskbuffer", kPropStoredInteger,
        u"whether to stream incoming data to disk as a cache for seeking",
        [this](int32_t* v) {
          ScopedLock lock(propertyLock_);
          *v = diskBuffer_ ? 1 : 0;
          return kOk;
        },
        [this](int32_t v) {
          ScopedLock lock(propertyLock_);
          diskBuffer_ = v != 0;
          return kOk;
        },
        SettingStorage::kBool);
  }
  AddStreamIdProperty();
  // Identity, warm-up and the prebuffer state always; the rest only while the connection can
  // be opened at an offset.
  table_.SetDescribeFilter([this](const TString& name) {
    for (const char16_t* always : {u"modulename", u"moduledescription", u"modulecopyright",
                                   u"moduleversion", u"warmuptime", u"inprebuffer"}) {
      if (name.Equals(always)) return true;
    }
    return open_.load() && CanOpenAtOffset();
  });
}

int32_t UrlReader::HeaderProperty(const char* icy, const char* audiocast, TString* value) {
  ScopedLock lock(propertyLock_);
  if (!open_ || !CanOpenAtOffset()) return kReaderNotOpen;
  const std::string* found = responseHeaders_.Find(icy);
  HeaderList datagrams;
  if (!found && audiocast_) {
    audiocast_->Poll(open_);
    datagrams = audiocast_->Headers();
    // Datagrams are newer than the response the stream began with.
    found = datagrams.Find(audiocast);
    if (!found) found = responseHeaders_.Find(audiocast);
  }
  if (!found) return kReaderNotOpen;
  *value = Utf16(*found);
  return kOk;
}

void UrlReader::TakeResponse(MNetwork& connection) {
  HeaderList headers;
  NarrowString name, value;
  for (uint32_t i = 0; connection.GetResponseHeaderAt(i, &name, &value) == kOk; ++i) {
    headers.Add(name.c_str(), value.c_str());
  }
  ScopedLock lock(propertyLock_);
  responseHeaders_ = std::move(headers);
}

}  // namespace vk2

// The file and MIME types a decoder handles, as (pattern, description) pairs.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

struct MediaTypeEntry {
  TString pattern;  // "*.mp3", or a MIME type
  TString description;
};

class MediaTypeList {
 public:
  void Resize(uint32_t count) { items_.resize(count); }
  void Set(uint32_t i, const TString& pattern, const TString& description) {
    items_[i] = MediaTypeEntry{pattern, description};
  }
  void Append(const TString& pattern, const TString& description) {
    items_.push_back(MediaTypeEntry{pattern, description});
  }
  uint32_t Count() const { return static_cast<uint32_t>(items_.size()); }
  const MediaTypeEntry& At(uint32_t i) const { return items_[i]; }
  void Clear() { items_.clear(); }

 private:
  std::vector<MediaTypeEntry> items_;
};

class MMediaTypes : public MUnknown {
 public:
  // Sets the list to the decoder's pairs.
  virtual int32_t GetFileTypes(MediaTypeList* list) = 0;
  virtual int32_t GetMimeTypes(MediaTypeList* list) = 0;

 protected:
  ~MMediaTypes() = default;
};

}  // namespace vk2

// Status listeners: the GUI main object and some windows keep a list of them and broadcast
// status records (a status text of a level, or a sender's own kind of record) to each.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

// Kinds of status record.
inline constexpr uint32_t kStatusText = 1;  // sub-kind: the text's level
// A text with a fraction: a progress (sub-kind the level, `rightText` after the bar) or a named
// value such as the volume (sub-kind 1, `name` says which value, `fraction` holds it).
inline constexpr uint32_t kStatusValue = 2;

// Status levels of kind kStatusText.
enum StatusLevel : uint32_t {
  kStatusCurrent = 0,  // becomes the list's current text
  kStatusProgress = 1,
  kStatusWarning = 2,
  kStatusError = 3,
};

struct StatusRecord {
  uint32_t kind = kStatusText;
  uint32_t subKind = kStatusCurrent;
  TString text;
  uintptr_t data = 0;  // meaning set by the kind's sender
  // kStatusValue only.
  TString rightText;
  TString name;
  double fraction = 0.0;
};

// Held without a reference: a listener removes itself before it goes.
class MStatusListener {
 public:
  virtual void OnStatus(const StatusRecord& record, bool quiet) = 0;

 protected:
  ~MStatusListener() = default;
};

class MListenerList : public MUnknown {
 public:
  // -9 for a null listener, or when removing one that is not in the list.
  virtual int32_t AddRemoveListener(MStatusListener* listener, int32_t add) = 0;
  // Newest listener first.
  virtual int32_t Broadcast(const StatusRecord& record) = 0;
  virtual int32_t Post(const TString& text, uint32_t subKind) = 0;

 protected:
  ~MListenerList() = default;
};

}  // namespace vk2

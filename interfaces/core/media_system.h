// The media system: the chains of one player (or of one item the idle scan examines). It builds a
// chain for an item's URL through the audio system, moves chains through their states, switches
// from the playing chain to the next with one of three playback methods, turns chain events into
// calls on its owner, and reports the play position and the stream's properties.
//
// Made directly by its users (CreateMediaSystem in core/media/), never through the runtime; the
// creator takes the first reference. It knows nothing of playlists: the owner says which item is
// current and hears when a stream starts, when playback ends and when something fails.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MMediaChain;
class MPreferenceStore;
class MediaTypeList;
class PropertyDescriptionList;
struct ItemInfo;

// How one item follows the other.
enum PlaybackMethod : int32_t {
  kPlaybackNormal = 0,     // the old chain stops, then the new one plays
  kPlaybackSeamless = 1,   // chains share one output; a gap of silence between the items
  kPlaybackCrossfade = 2,  // the next chain starts before the end; the two volumes ramp
};

inline bool IsKnownPlaybackMethod(int32_t method) {
  return method >= kPlaybackNormal && method <= kPlaybackCrossfade;
}

enum MediaPlaybackState : int32_t {
  kMediaStopped = 0,
  kMediaPlaying = 1,
  kMediaPaused = 2,
};

// SetTransition with this time keeps the time in force.
inline constexpr double kKeepTransitionTime = -1.0;
// The cost limit of chains built for playback (every reader may be used).
inline constexpr int32_t kAnyAccessCost = 2147483647;

// What GetPlayInfo reports.
struct MediaPlayInfo {
  int32_t state = kMediaStopped;
  int32_t currentStreamId = 0;  // the stream being heard
  uint32_t streamId = 0;        // the item the chain plays (the owner's current item without one)
  double totalTime = -1.0;      // seconds; -1.0 when unknown
  uint8_t totalIsEstimate = 0;  // 1 when the total is only estimated
  double streamTime = 0.0;      // seconds heard (the held position while one is held); >= 0
  double volume = 1.0;
  double balance = 0.0;
};

// What the media system asks of and tells its owner (the player). No reference counting: the
// owner clears itself with SetOwner(null) before it goes. GetCurrentItem, Advance and SelectItem
// are called while a switch is being decided; none of the calls is made under a lock of the
// media system, so the owner may call back into it.
class MediaSystemOwner {
 public:
  // The item the owner regards as current; negative when there is none.
  virtual int32_t GetCurrentItem(ItemInfo* item) = 0;
  // Makes the next item current; negative when there is none.
  virtual int32_t Advance() = 0;
  // Makes the item with this id current.
  virtual int32_t SelectItem(uint32_t itemId) = 0;
  // The stream of this item is now heard; 0: playback stopped.
  virtual int32_t OnStreamIdChanged(uint32_t itemId) = 0;
  // A failure worth showing the user.
  virtual int32_t OnError(const char16_t* text) = 0;
  // The queued output was flushed (after a seek).
  virtual int32_t OnFlushed() = 0;

 protected:
  ~MediaSystemOwner() = default;
};

// Results are 0 or negative; "entry N" is a code of the "MediaSystem" error table. The object also
// answers MModuleInfo and MModuleProperties (the property operations below, on a sub-object).
class MMediaSystem : public MUnknown {
 public:
  // The file patterns of every decoder, one after the other without separator.
  virtual int32_t GetFileExtensionText(TString* text) = 0;
  // (pattern, description) pairs of every decoder that lists its file types, appended.
  virtual int32_t GetFileExtensions(MediaTypeList* list) = 0;
  // Waits until calls to the previous owner running on other threads have returned: call it with
  // none of the owner's own locks held.
  virtual int32_t SetOwner(MediaSystemOwner* owner) = 0;
  // While a transition is pending (a switch in progress) these read and write the pending pair,
  // which takes over at the next switch, Stop or end of chain.
  virtual int32_t GetTransition(int32_t* method, double* seconds) = 0;
  // An unknown method is refused (-21) and changes nothing.
  virtual int32_t SetTransition(int32_t method, double seconds) = 0;
  // From stopped: builds and plays the owner's current item. From paused: resumes.
  virtual int32_t Play() = 0;
  // May be called from any thread: it also cancels a switch that is still building or buffering
  // on another thread (that switch then answers kErrCancelled) without waiting for it.
  virtual int32_t Stop() = 0;
  virtual int32_t Pause() = 0;
  // Makes `itemId` current (0: keep the owner's current item) and switches to its chain with the
  // method in force. While stopped only the owner hears of the change. Builds and buffers on the
  // calling thread; kErrCancelled when a Stop or a newer switch came first.
  virtual int32_t SwitchToNewChain(uint32_t itemId) = 0;
  // Negative seconds count back from the end of the stream.
  virtual int32_t SeekStream(double seconds, uint32_t flags) = 0;
  virtual int32_t GetState() = 0;
  // Applied to every chain, now and later.
  virtual int32_t SetVolume(double volume) = 0;
  virtual int32_t SetBalance(double balance) = 0;
  // Builds a chain for `item` that measures the stream and plays nothing (full: 1 for a full
  // scan); a reader costlier than `costLimit` is refused.
  virtual int32_t PrepareScan(const ItemInfo* item, int32_t full, int32_t costLimit) = 0;
  virtual int32_t DiscardScanChains() = 0;
  virtual int32_t GetPlayInfo(MediaPlayInfo* info) = 0;

  // Properties of the current chain (else of the first scan chain); entry 5 without either.
  // GetInteger also answers "currentchainid".
  virtual int32_t GetString(const char16_t* name, TString* value) = 0;
  virtual int32_t GetInteger(const char16_t* name, int32_t* value) = 0;
  virtual int32_t GetNumber(const char16_t* name, double* value) = 0;
  virtual int32_t Describe(PropertyDescriptionList* list) = 0;
  virtual int32_t SetString(const char16_t* name, const char16_t* value) = 0;
  virtual int32_t SetInteger(const char16_t* name, int32_t value) = 0;
  virtual int32_t SetNumber(const char16_t* name, double value) = 0;
  // Kept (counted) and given to every chain built afterwards.
  virtual int32_t LoadSettings(MPreferenceStore* store) = 0;
  virtual int32_t SaveSettings(MPreferenceStore* store) = 0;
  // A text for the filters: passed to every chain and by each chain to every module. The result
  // is the first chain's, replaced by any later one that is not negative.
  virtual int32_t SendFilterMessage(const char16_t* text, uint32_t reserved) = 0;

  // The current chain, with a reference, and its id; -5 when there is none.
  virtual int32_t GetCurrentChain(MMediaChain** chain, uint32_t* chainId) = 0;
  // Fills duration, title, author, album, genre and year from the chain playing or scanning the
  // item (the record's id must be the chain's stream id, else -1).
  virtual int32_t FillItemInfo(ItemInfo* item) = 0;
  // A position reported instead of the heard one (while a seek is on its way); -1.0 clears it.
  // Returns the hold count.
  virtual int32_t HoldPosition(double seconds) = 0;
  // A chain for `item` with the given id, one reference in `*chain`; `scan` nonzero gives a
  // chain that measures and plays nothing.
  virtual int32_t BuildChain(const ItemInfo* item, uint32_t chainId, MMediaChain** chain,
                             int32_t scan, int32_t costLimit) = 0;
  // Undoes one HoldPosition; at 0 the held position is cleared. Returns the hold count.
  virtual int32_t ReleasePosition() = 0;

 protected:
  ~MMediaSystem() = default;
};

}  // namespace vk2

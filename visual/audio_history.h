// The process-wide store of recently heard audio, one node per chain: packets of planar signed
// 8-bit samples indexed by the byte position of the incoming stream, trimmed by the tap to
// about a second plus the output buffer. Readers (the drawing threads) take the same locks as
// the tap, so a packet is never freed under a reader.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/visual/visual_host.h"
#include "visual/pcm_to_int8.h"

namespace vk2 {

class VisualAudioHistory final
    : public ComObject<VisualAudioHistory, SilentFace<MVisualAudioHistory>> {
 public:
  static RefPtr<VisualAudioHistory> Make();

  void SetFormat(uint32_t key, uint32_t channels, uint32_t rate, uint32_t bits,
                 bool isFloat) override;
  bool GetFormat(uint32_t key, uint32_t* channels, uint32_t* rate, uint32_t* bits,
                 bool* isFloat) override;
  void Append(uint32_t key, const uint8_t* bytes, uint32_t count) override;
  void Trim(uint32_t key, int64_t position) override;
  bool Range(uint32_t key, int64_t* oldest, int64_t* newest) override;
  int32_t Fetch(uint32_t key, int64_t after, int64_t position, uint32_t flags,
                VisualAudioRecord* record) override;
  int32_t Read(uint32_t key, uint32_t channel, int64_t position, uint32_t count,
               int8_t* destination) override;
  void Clear() override;

 private:
  friend class ComObject<VisualAudioHistory, SilentFace<MVisualAudioHistory>>;
  struct Packet {
    int64_t start = 0;  // byte position of the first frame in the incoming stream
    uint32_t frames = 0;
    std::unique_ptr<int8_t[]> samples;  // plane 0, then plane 1

    const int8_t* Plane(uint32_t c) const { return samples.get() + size_t{c} * frames; }
  };
  struct Node {
    uint32_t key = 0;
    HistoryFormat format;
    int64_t total = 0;  // bytes appended so far: where the next packet starts
    std::recursive_mutex lock;
    std::vector<Packet> packets;  // rising start positions

    // The first packet starting at or after `position`.
    size_t FirstAtOrAfter(int64_t position) const;
    // The packet holding `position`, or packets.size().
    size_t Holding(int64_t position) const;
  };

  VisualAudioHistory() = default;
  ~VisualAudioHistory() override = default;

  Node* Find(uint32_t key);  // under lock_

  std::recursive_mutex lock_;  // the node list; taken before a node's lock
  std::vector<std::unique_ptr<Node>> nodes_;
};

}  // namespace vk2

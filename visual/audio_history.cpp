#include "visual/audio_history.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "visual/spectrum.h"

namespace vk2 {

RefPtr<VisualAudioHistory> VisualAudioHistory::Make() {
  return RefPtr<VisualAudioHistory>(new (std::nothrow) VisualAudioHistory());
}

size_t VisualAudioHistory::Node::FirstAtOrAfter(int64_t position) const {
  auto it = std::lower_bound(packets.begin(), packets.end(), position,
                             [](const Packet& p, int64_t pos) { return p.start < pos; });
  return static_cast<size_t>(it - packets.begin());
}

size_t VisualAudioHistory::Node::Holding(int64_t position) const {
  const int64_t frameBytes = format.BytesPerFrame();
  auto it = std::upper_bound(packets.begin(), packets.end(), position,
                             [](int64_t pos, const Packet& p) { return pos < p.start; });
  if (it == packets.begin()) return packets.size();
  const size_t i = static_cast<size_t>(it - packets.begin()) - 1;
  const Packet& p = packets[i];
  return position < p.start + int64_t{p.frames} * frameBytes ? i : packets.size();
}

VisualAudioHistory::Node* VisualAudioHistory::Find(uint32_t key) {
  for (auto& node : nodes_) {
    if (node->key == key) return node.get();
  }
  return nullptr;
}

void VisualAudioHistory::SetFormat(uint32_t key, uint32_t channels, uint32_t rate, uint32_t bits,
                                   bool isFloat) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  Node* node = Find(key);
  if (!node) {
    auto made = std::make_unique<Node>();
    made->key = key;
    node = made.get();
    nodes_.push_back(std::move(made));
  }
  std::lock_guard<std::recursive_mutex> nodeGuard(node->lock);
  node->format = HistoryFormat{channels, rate, bits, isFloat};
}

bool VisualAudioHistory::GetFormat(uint32_t key, uint32_t* channels, uint32_t* rate, uint32_t* bits,
                                   bool* isFloat) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  Node* node = Find(key);
  if (!node) return false;
  std::lock_guard<std::recursive_mutex> nodeGuard(node->lock);
  if (channels) *channels = node->format.channels;
  if (rate) *rate = node->format.rate;
  if (bits) *bits = node->format.bits;
  if (isFloat) *isFloat = node->format.isFloat;
  return true;
}

void VisualAudioHistory::Append(uint32_t key, const uint8_t* bytes, uint32_t count) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  Node* node = Find(key);
  if (!node || !bytes) return;
  std::lock_guard<std::recursive_mutex> nodeGuard(node->lock);
  const HistoryFormat& format = node->format;
  if (!format.Usable()) return;
  const uint32_t frames = count / format.BytesPerFrame();
  Packet packet;
  packet.start = node->total;
  packet.frames = frames;
  // Positions follow the incoming bytes even when a packet cannot be kept.
  node->total += count;
  if (frames == 0) return;
  packet.samples.reset(new (std::nothrow) int8_t[size_t{frames} * format.StoredChannels()]);
  if (!packet.samples) return;
  int8_t* planes[2] = {packet.samples.get(), packet.samples.get() + frames};
  SplitToPlanes(bytes, frames, format, planes);
  try {
    node->packets.push_back(std::move(packet));
  } catch (const std::bad_alloc&) {
    // The packet stays unlisted; the history just has a hole.
  }
}

void VisualAudioHistory::Trim(uint32_t key, int64_t position) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  Node* node = Find(key);
  if (!node || position <= 0) return;
  std::lock_guard<std::recursive_mutex> nodeGuard(node->lock);
  if (node->packets.empty()) return;
  const size_t keep = node->FirstAtOrAfter(position);
  node->packets.erase(node->packets.begin(),
                      node->packets.begin() + static_cast<std::ptrdiff_t>(keep));
}

bool VisualAudioHistory::Range(uint32_t key, int64_t* oldest, int64_t* newest) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  Node* node = Find(key);
  if (!node) return false;
  std::lock_guard<std::recursive_mutex> nodeGuard(node->lock);
  // Positions mean something only while packets are stored.
  if (node->packets.empty()) return false;
  if (oldest) *oldest = node->packets.front().start;
  if (newest) *newest = node->packets.back().start;
  return true;
}

int32_t VisualAudioHistory::Fetch(uint32_t key, int64_t after, int64_t position, uint32_t flags,
                                  VisualAudioRecord* record) {
  if (!record) return 0;
  std::lock_guard<std::recursive_mutex> guard(lock_);
  Node* node = Find(key);
  if (!node) return 0;
  std::lock_guard<std::recursive_mutex> nodeGuard(node->lock);
  const HistoryFormat& format = node->format;
  if (!format.Usable() || node->packets.empty()) return 0;
  position = std::max<int64_t>(position, 0);
  after = std::max<int64_t>(after, 0);
  const size_t found = node->FirstAtOrAfter(position);
  if (found == node->packets.size()) return 0;
  const int64_t frameBytes = format.BytesPerFrame();
  const int64_t windowStart = position - int64_t{kVisualWaveformSamples} * frameBytes;
  if (windowStart <= after) return 0;
  const size_t first = node->Holding(windowStart);
  if (first >= found) return 0;

  std::memset(record, 0, sizeof *record);
  record->timeMs = windowStart * 1000 / (frameBytes * int64_t{format.rate});
  const bool stereo = format.StoredChannels() == 2;
  uint32_t offset = static_cast<uint32_t>((windowStart - node->packets[first].start) / frameBytes);
  uint32_t written = 0;
  // Whole groups of four frames per packet; the frames before the heard packet that this
  // leaves out stay zero.
  for (size_t i = first; i < found && written < kVisualWaveformSamples; ++i) {
    const Packet& p = node->packets[i];
    uint32_t n = std::min(p.frames - offset, kVisualWaveformSamples - written) & ~3u;
    if (n == 0) break;
    std::memcpy(record->waveform[0] + written, p.Plane(0) + offset, n);
    std::memcpy(record->waveform[1] + written, p.Plane(stereo ? 1 : 0) + offset, n);
    written += n;
    offset = 0;
  }
  if (flags & kVisualWantsSpectrum) {
    ComputeSpectrum(record->waveform[0], record->spectrum[0]);
    if (stereo) {
      ComputeSpectrum(record->waveform[1], record->spectrum[1]);
    } else {
      std::memcpy(record->spectrum[1], record->spectrum[0], kVisualSpectrumBins);
    }
  }
  return 1;
}

int32_t VisualAudioHistory::Read(uint32_t key, uint32_t channel, int64_t position, uint32_t count,
                                 int8_t* destination) {
  if (!destination) return kHistoryNoDestination;
  std::lock_guard<std::recursive_mutex> guard(lock_);
  Node* node = Find(key);
  if (!node) return kHistoryUnknownChain;
  std::lock_guard<std::recursive_mutex> nodeGuard(node->lock);
  const HistoryFormat& format = node->format;
  if (channel >= format.StoredChannels()) return kHistoryNoSuchChannel;
  const size_t first = node->Holding(position);
  if (first >= node->packets.size()) return kHistoryOutsidePackets;
  uint32_t offset =
      static_cast<uint32_t>((position - node->packets[first].start) / format.BytesPerFrame());
  uint32_t copied = 0;
  for (size_t i = first; i < node->packets.size() && copied < count; ++i) {
    const Packet& p = node->packets[i];
    const uint32_t n = std::min(p.frames - offset, count - copied);
    std::memcpy(destination + copied, p.Plane(channel) + offset, n);
    copied += n;
    offset = 0;
  }
  return copied < count ? kHistoryEndedEarly : 0;
}

void VisualAudioHistory::Clear() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  nodes_.clear();
}

}  // namespace vk2

// One section of an INI document: its lines in file order and the index of its keys. Lines
// live in one array in the order they were made and are linked in file order, so that new keys
// can go anywhere without moving the others; the key index is an open-addressing table of line
// numbers, holding for each key (ASCII case folded) its first line.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace vk2::oru {

class IniSection {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  // One line as written; a key line also knows where its key and value lie in it.
  struct Line {
    std::string raw;
    uint32_t prev = kNone;
    uint32_t next = kNone;
    uint32_t keyBegin = 0;
    uint32_t keyEnd = 0;  // keyBegin == keyEnd: not a key line
    uint32_t valueBegin = 0;
    uint32_t valueEnd = 0;
    uint32_t hash = 0;  // of the folded key
    // On the line the index holds for a key: how many lines carry that key.
    uint32_t sameKey = 0;

    bool IsKey() const { return keyEnd > keyBegin; }
    std::string_view Key() const {
      return std::string_view(raw).substr(keyBegin, keyEnd - keyBegin);
    }
    std::string_view Value() const {
      return std::string_view(raw).substr(valueBegin, valueEnd - valueBegin);
    }
  };

  IniSection(std::string name, std::string header)
      : name_(std::move(name)), header_(std::move(header)) {}

  const std::string& Name() const { return name_; }
  const std::string& Header() const { return header_; }
  bool IsEmpty() const { return head_ == kNone; }
  // The last line in file order (the section must not be empty).
  const Line& Tail() const { return lines_[tail_]; }

  // A line read from a file, added at the end: `keyBegin`..`valueEnd` set for key lines.
  void AppendParsed(Line line);
  // The key's first line, or null.
  const Line* FindKey(std::string_view key) const;
  // Rewrites the key's first line as "key=value"; a new key gets a line after the last key
  // line, or ahead of the blank lines that end a section without keys.
  void Set(std::string_view key, std::string_view value);
  bool RemoveKey(std::string_view key);

  void AppendTo(std::string* out) const;

 private:
  // A slot holds a line number in its low half and the line's key hash in its high half, so
  // that probing compares hashes without touching the lines.
  static constexpr uint64_t kEmptySlot = UINT64_MAX;
  static constexpr uint32_t kRemovedLine = UINT32_MAX - 1;
  static uint32_t LineOf(uint64_t slot) { return static_cast<uint32_t>(slot); }
  static uint64_t SlotFor(uint32_t line, uint32_t hash) { return uint64_t{hash} << 32 | line; }

  static uint32_t FoldedHash(std::string_view key);
  static void Write(Line* line, std::string_view key, std::string_view value);
  // The slot that holds the key's first line, or kNone.
  uint32_t FindSlot(std::string_view key, uint32_t hash) const;
  // Puts a line whose key is not indexed yet into the index.
  void Index(uint32_t line);
  void Rehash(size_t size);
  // Stores `line` and links it before `before` (kNone: at the end); its number.
  uint32_t Link(Line line, uint32_t before);
  void Unlink(uint32_t index);

  std::string name_;  // "" for the lines before the first header
  std::string header_;
  // Lines by number; a deque never moves a line as it grows, and takes its memory in small
  // pieces, so a short section stays small and a long one never copies its lines.
  std::deque<Line> lines_;
  uint32_t head_ = kNone;
  uint32_t tail_ = kNone;
  uint32_t lastKey_ = kNone;
  std::vector<uint64_t> slots_;  // a power of two in size, at most half used
  size_t slotsUsed_ = 0;         // keys and removed marks
};

}  // namespace vk2::oru

#include "oru/services/ini/ini_section.h"

#include "oru/core/text_util.h"

namespace vk2::oru {
namespace {

bool IsBlankLine(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

uint32_t IniSection::FoldedHash(std::string_view key) {
  uint32_t h = 2166136261u;
  for (char c : key) {
    const auto u = static_cast<unsigned char>(c);
    h ^= (u >= 'A' && u <= 'Z') ? u + ('a' - 'A') : u;
    h *= 16777619u;
  }
  return h;
}

void IniSection::Write(Line* line, std::string_view key, std::string_view value) {
  line->raw.clear();
  line->raw.reserve(key.size() + 1 + value.size());
  line->raw.append(key).append(1, '=').append(value);
  line->keyBegin = 0;
  line->keyEnd = static_cast<uint32_t>(key.size());
  line->valueBegin = line->keyEnd + 1;
  line->valueEnd = static_cast<uint32_t>(line->raw.size());
}

uint32_t IniSection::FindSlot(std::string_view key, uint32_t hash) const {
  if (slots_.empty()) return kNone;
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const uint64_t held = slots_[i];
    if (held == kEmptySlot) return kNone;
    if (held >> 32 == hash && LineOf(held) != kRemovedLine &&
        EqualsNoCase(lines_[LineOf(held)].Key(), key)) {
      return static_cast<uint32_t>(i);
    }
  }
}

void IniSection::Rehash(size_t size) {
  std::vector<uint64_t> old = std::move(slots_);
  slots_.assign(size, kEmptySlot);
  slotsUsed_ = 0;
  for (uint64_t held : old) {
    if (held != kEmptySlot && LineOf(held) != kRemovedLine) Index(LineOf(held));
  }
}

void IniSection::Index(uint32_t line) {
  // Half at most, removed marks included: probes stay short and always end at an empty slot.
  if ((slotsUsed_ + 1) * 2 > slots_.size()) {
    size_t live = 0;
    for (uint64_t held : slots_)
      live += held != kEmptySlot && LineOf(held) != kRemovedLine;
    size_t size = 16;
    while (size < (live + 1) * 4)
      size *= 2;
    Rehash(size);
  }
  const uint32_t hash = lines_[line].hash;
  const size_t mask = slots_.size() - 1;
  size_t i = hash & mask;
  while (slots_[i] != kEmptySlot && LineOf(slots_[i]) != kRemovedLine)
    i = (i + 1) & mask;
  if (slots_[i] == kEmptySlot) ++slotsUsed_;
  slots_[i] = SlotFor(line, hash);
}

uint32_t IniSection::Link(Line line, uint32_t before) {
  const auto index = static_cast<uint32_t>(lines_.size());
  lines_.push_back(std::move(line));
  Line& l = lines_.back();
  l.next = before;
  l.prev = before == kNone ? tail_ : lines_[before].prev;
  if (before == kNone) {
    tail_ = index;
  } else {
    lines_[before].prev = index;
  }
  if (l.prev == kNone) {
    head_ = index;
  } else {
    lines_[l.prev].next = index;
  }
  return index;
}

void IniSection::Unlink(uint32_t index) {
  Line& l = lines_[index];
  if (l.prev == kNone) {
    head_ = l.next;
  } else {
    lines_[l.prev].next = l.next;
  }
  if (l.next == kNone) {
    tail_ = l.prev;
  } else {
    lines_[l.next].prev = l.prev;
  }
  // The record stays in the array (numbers do not move); only its text goes.
  std::string().swap(l.raw);
  l.keyBegin = l.keyEnd = 0;
}

void IniSection::AppendParsed(Line line) {
  const bool isKey = line.IsKey();
  if (isKey) line.hash = FoldedHash(line.Key());
  const uint32_t index = Link(std::move(line), kNone);
  if (!isKey) return;
  Line& l = lines_[index];
  const uint32_t slot = FindSlot(l.Key(), l.hash);
  if (slot != kNone) {
    ++lines_[LineOf(slots_[slot])].sameKey;
  } else {
    l.sameKey = 1;
    Index(index);
  }
  lastKey_ = index;
}

const IniSection::Line* IniSection::FindKey(std::string_view key) const {
  const uint32_t slot = FindSlot(key, FoldedHash(key));
  return slot == kNone ? nullptr : &lines_[LineOf(slots_[slot])];
}

void IniSection::Set(std::string_view key, std::string_view value) {
  const uint32_t hash = FoldedHash(key);
  if (const uint32_t slot = FindSlot(key, hash); slot != kNone) {
    Write(&lines_[LineOf(slots_[slot])], key, value);
    return;
  }
  // After the section's last key, ahead of the blank lines and comments that end it (they
  // usually introduce the next section); without keys, ahead of the trailing blank lines.
  uint32_t before = kNone;
  if (lastKey_ != kNone) {
    before = lines_[lastKey_].next;
  } else {
    for (uint32_t p = tail_; p != kNone && IsBlankLine(lines_[p].raw); p = lines_[p].prev)
      before = p;
  }
  Line line;
  Write(&line, key, value);
  line.hash = hash;
  line.sameKey = 1;
  const uint32_t index = Link(std::move(line), before);
  Index(index);
  lastKey_ = index;
}

bool IniSection::RemoveKey(std::string_view key) {
  const uint32_t slot = FindSlot(key, FoldedHash(key));
  if (slot == kNone) return false;
  const uint32_t index = LineOf(slots_[slot]);
  Line& l = lines_[index];
  if (l.sameKey > 1) {
    // A repeated key: the next line carrying it becomes the one that lookups see.
    uint32_t next = l.next;
    while (!lines_[next].IsKey() || !EqualsNoCase(lines_[next].Key(), l.Key()))
      next = lines_[next].next;
    lines_[next].sameKey = l.sameKey - 1;
    slots_[slot] = SlotFor(next, l.hash);
  } else {
    slots_[slot] = SlotFor(kRemovedLine, 0);
  }
  if (index == lastKey_) {
    lastKey_ = kNone;
    for (uint32_t p = l.prev; p != kNone; p = lines_[p].prev) {
      if (lines_[p].IsKey()) {
        lastKey_ = p;
        break;
      }
    }
  }
  Unlink(index);
  return true;
}

void IniSection::AppendTo(std::string* out) const {
  if (!header_.empty()) {
    out->append(header_);
    out->push_back('\n');
  }
  for (uint32_t i = head_; i != kNone; i = lines_[i].next) {
    out->append(lines_[i].raw);
    out->push_back('\n');
  }
}

}  // namespace vk2::oru

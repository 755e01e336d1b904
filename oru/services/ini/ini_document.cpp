#include "oru/services/ini/ini_document.h"

#include <cstdint>
#include <iterator>

#include "oru/core/text_util.h"

namespace vk2::oru {
namespace {

std::string_view Trim(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
    t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
    t.remove_suffix(1);
  return t;
}

bool Writable(std::string_view text) {
  return text.find_first_of("\r\n") == std::string_view::npos &&
         text.find('\0') == std::string_view::npos;
}

// One line as it is written; a key line also knows where its key and value lie in it, so that
// a line costs one string however it is used.
struct Line {
  std::string raw;
  uint32_t keyBegin = 0;
  uint32_t keyEnd = 0;  // keyBegin == keyEnd: not a key line
  uint32_t valueBegin = 0;
  uint32_t valueEnd = 0;

  bool IsKey() const { return keyEnd > keyBegin; }
  std::string_view Key() const { return std::string_view(raw).substr(keyBegin, keyEnd - keyBegin); }
  std::string_view Value() const {
    return std::string_view(raw).substr(valueBegin, valueEnd - valueBegin);
  }
  // Rewrites the line as "key=value", the value as given.
  void Assign(std::string_view key, std::string_view value) {
    raw.clear();
    raw.reserve(key.size() + 1 + value.size());
    raw.append(key).append(1, '=').append(value);
    keyBegin = 0;
    keyEnd = static_cast<uint32_t>(key.size());
    valueBegin = keyEnd + 1;
    valueEnd = static_cast<uint32_t>(raw.size());
  }
};
using Lines = std::list<Line>;

}  // namespace

struct IniDocument::Section {
  struct KeyEntry {
    Lines::iterator first;  // lookups see the first line of a key
    uint32_t lines = 0;     // how many lines carry it
  };

  std::string name;  // "" for the lines before the first header
  std::string header;
  Lines lines;
  // Folded key -> its lines.
  std::unordered_map<std::string, KeyEntry> keys;
  // New keys go after the last key line; lines.end() while there is none.
  Lines::iterator lastKey = lines.end();

  const KeyEntry* FindKey(std::string_view key) const {
    auto it = keys.find(LowerAscii(key));
    return it == keys.end() ? nullptr : &it->second;
  }

  // Records a key line that was just placed at `at`; key lines are only ever placed after
  // the section's last one.
  void IndexKey(Lines::iterator at) {
    KeyEntry& entry = keys[LowerAscii(at->Key())];
    if (entry.lines++ == 0) entry.first = at;
    lastKey = at;
  }

  void Append(Line line) {
    lines.push_back(std::move(line));
    if (lines.back().IsKey()) IndexKey(std::prev(lines.end()));
  }

  void EraseKeyLine(Lines::iterator at) {
    const std::string folded = LowerAscii(at->Key());
    KeyEntry& entry = keys[folded];
    if (--entry.lines == 0) {
      keys.erase(folded);
    } else {
      // A repeated key: the next line carrying it becomes the one that lookups see.
      auto next = std::next(at);
      while (!next->IsKey() || !EqualsNoCase(next->Key(), at->Key()))
        ++next;
      entry.first = next;
    }
    if (at == lastKey) {
      lastKey = lines.end();
      for (auto p = at; p != lines.begin();) {
        if ((--p)->IsKey()) {
          lastKey = p;
          break;
        }
      }
    }
    lines.erase(at);
  }
};

IniDocument::IniDocument() {
  Reset();
}

IniDocument::~IniDocument() = default;

void IniDocument::Reset() {
  sections_.clear();
  byName_.clear();
  AddSection("", "");
}

IniDocument::Section* IniDocument::AddSection(std::string name, std::string header) {
  auto section = std::make_unique<Section>();
  section->name = std::move(name);
  section->header = std::move(header);
  Section* added = section.get();
  sections_.push_back(std::move(section));
  byName_.emplace(LowerAscii(added->name), added);
  return added;
}

void IniDocument::IndexSections() {
  byName_.clear();
  for (const auto& s : sections_)
    byName_.emplace(LowerAscii(s->name), s.get());
}

IniDocument::Section* IniDocument::Find(std::string_view name) const {
  auto it = byName_.find(LowerAscii(name));
  return it == byName_.end() ? nullptr : it->second;
}

void IniDocument::Parse(std::string_view text) {
  Reset();
  while (text.substr(0, 3) == "\xEF\xBB\xBF")
    text.remove_prefix(3);
  Section* current = sections_.front().get();
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    // CR LF, and stray CRs before it, end the line.
    while (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    std::string_view t = Trim(line);
    if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
      std::string name(Trim(t.substr(1, t.size() - 2)));
      // A section met twice continues the first, as lookups would see it.
      if (Section* existing = Find(name); existing && !name.empty()) {
        current = existing;
      } else {
        current = AddSection(std::move(name), std::string(line));
      }
      continue;
    }
    Line l;
    l.raw.assign(line);
    size_t eq = t.find('=');
    if (!t.empty() && t.front() != ';' && t.front() != '#' && eq != std::string_view::npos &&
        eq > 0) {
      const std::string_view key = Trim(t.substr(0, eq));
      const std::string_view value = Trim(t.substr(eq + 1));
      l.keyBegin = static_cast<uint32_t>(key.data() - line.data());
      l.keyEnd = l.keyBegin + static_cast<uint32_t>(key.size());
      l.valueBegin = static_cast<uint32_t>(value.data() - line.data());
      l.valueEnd = l.valueBegin + static_cast<uint32_t>(value.size());
    }
    current->Append(std::move(l));
  }
}

std::string IniDocument::Format() const {
  std::string out;
  for (const auto& s : sections_) {
    if (!s->header.empty()) {
      out += s->header;
      out += '\n';
    }
    for (const Line& l : s->lines) {
      out += l.raw;
      out += '\n';
    }
  }
  return out;
}

std::optional<std::string_view> IniDocument::Get(std::string_view section,
                                                 std::string_view key) const {
  const Section* s = Find(section);
  const Section::KeyEntry* entry = s ? s->FindKey(key) : nullptr;
  if (!entry) return std::nullopt;
  return entry->first->Value();
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string_view k = Trim(key);
  if (k.empty() || !Writable(section) || !Writable(k) || !Writable(value) ||
      k.find('=') != std::string_view::npos || k.front() == '[' || k.front() == ';' ||
      k.front() == '#' || section.find(']') != std::string_view::npos) {
    return false;
  }
  Section* s = Find(Trim(section));
  if (!s) {
    Lines& tail = sections_.back()->lines;
    if (!tail.empty() && !Trim(tail.back().raw).empty()) sections_.back()->Append(Line{});
    std::string name(Trim(section));
    std::string header = "[" + name + "]";
    s = AddSection(std::move(name), std::move(header));
  }
  // One hash lookup whether the key is new or not.
  auto [entry, fresh] = s->keys.try_emplace(LowerAscii(k));
  if (!fresh) {
    entry->second.first->Assign(k, value);
    return true;
  }
  // New keys go after the section's last key, ahead of the blank lines and comments that end
  // it (they usually introduce the next section).
  auto at = s->lines.end();
  if (s->lastKey != s->lines.end()) {
    at = std::next(s->lastKey);
  } else {
    while (at != s->lines.begin() && Trim(std::prev(at)->raw).empty())
      --at;
  }
  auto placed = s->lines.emplace(at);
  placed->Assign(k, value);
  entry->second = Section::KeyEntry{placed, 1};
  s->lastKey = placed;
  return true;
}

bool IniDocument::RemoveKey(std::string_view section, std::string_view key) {
  Section* s = Find(section);
  const Section::KeyEntry* entry = s ? s->FindKey(key) : nullptr;
  if (!entry) return false;
  s->EraseKeyLine(entry->first);
  return true;
}

bool IniDocument::RemoveSection(std::string_view section) {
  for (size_t i = 1; i < sections_.size(); ++i) {
    if (EqualsNoCase(sections_[i]->name, section)) {
      sections_.erase(sections_.begin() + static_cast<ptrdiff_t>(i));
      // Another section of the same name may now be the first; sections are few.
      IndexSections();
      return true;
    }
  }
  return false;
}

}  // namespace vk2::oru

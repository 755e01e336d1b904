#include "oru/services/ini/ini_document.h"

#include <algorithm>

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

}  // namespace

IniDocument::Section* IniDocument::Find(std::string_view name) {
  for (Section& s : sections_) {
    if (EqualsNoCase(s.name, name)) return &s;
  }
  return nullptr;
}

const IniDocument::Section* IniDocument::Find(std::string_view name) const {
  return const_cast<IniDocument*>(this)->Find(name);
}

void IniDocument::Parse(std::string_view text) {
  sections_.assign(1, Section{});
  while (text.substr(0, 3) == "\xEF\xBB\xBF")
    text.remove_prefix(3);
  Section* current = &sections_.front();
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
        sections_.push_back(Section{name, std::string(line), {}});
        current = &sections_.back();
      }
      continue;
    }
    Line l;
    l.raw.assign(line);
    size_t eq = t.find('=');
    if (!t.empty() && t.front() != ';' && t.front() != '#' && eq != std::string_view::npos &&
        eq > 0) {
      l.key.assign(Trim(t.substr(0, eq)));
      l.value.assign(Trim(t.substr(eq + 1)));
    }
    current->lines.push_back(std::move(l));
  }
}

std::string IniDocument::Format() const {
  std::string out;
  for (const Section& s : sections_) {
    if (!s.header.empty()) {
      out += s.header;
      out += '\n';
    }
    for (const Line& l : s.lines) {
      out += l.raw;
      out += '\n';
    }
  }
  return out;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
  const Section* s = Find(section);
  if (!s) return std::nullopt;
  for (const Line& l : s->lines) {
    if (!l.key.empty() && EqualsNoCase(l.key, key)) return l.value;
  }
  return std::nullopt;
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
    if (!sections_.back().lines.empty() && !Trim(sections_.back().lines.back().raw).empty()) {
      sections_.back().lines.push_back(Line{});
    }
    std::string name(Trim(section));
    sections_.push_back(Section{name, "[" + name + "]", {}});
    s = &sections_.back();
  }
  std::string raw = std::string(k) + "=" + std::string(value);
  for (Line& l : s->lines) {
    if (!l.key.empty() && EqualsNoCase(l.key, k)) {
      l.raw = raw;
      l.value.assign(value);
      return true;
    }
  }
  // New keys go after the section's last key, ahead of the blank lines and comments that end
  // it (they usually introduce the next section).
  auto at = s->lines.end();
  auto lastKey = std::find_if(s->lines.rbegin(), s->lines.rend(),
                              [](const Line& l) { return !l.key.empty(); });
  if (lastKey != s->lines.rend()) {
    at = lastKey.base();
  } else {
    while (at != s->lines.begin() && Trim(std::prev(at)->raw).empty())
      --at;
  }
  s->lines.insert(at, Line{raw, std::string(k), std::string(value)});
  return true;
}

bool IniDocument::RemoveKey(std::string_view section, std::string_view key) {
  Section* s = Find(section);
  if (!s) return false;
  auto it = std::find_if(s->lines.begin(), s->lines.end(),
                         [&](const Line& l) { return !l.key.empty() && EqualsNoCase(l.key, key); });
  if (it == s->lines.end()) return false;
  s->lines.erase(it);
  return true;
}

bool IniDocument::RemoveSection(std::string_view section) {
  for (size_t i = 1; i < sections_.size(); ++i) {
    if (EqualsNoCase(sections_[i].name, section)) {
      sections_.erase(sections_.begin() + static_cast<ptrdiff_t>(i));
      return true;
    }
  }
  return false;
}

}  // namespace vk2::oru

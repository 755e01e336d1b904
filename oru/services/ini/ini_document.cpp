#include "oru/services/ini/ini_document.h"

#include "oru/core/text_util.h"
#include "oru/services/ini/ini_section.h"

namespace vk2::oru {
namespace {

bool Writable(std::string_view text) {
  return text.find_first_of("\r\n") == std::string_view::npos &&
         text.find('\0') == std::string_view::npos;
}

}  // namespace

IniDocument::IniDocument() {
  Reset();
}

IniDocument::~IniDocument() = default;

void IniDocument::Reset() {
  sections_.clear();
  byName_.clear();
  AddSection("", "");
}

IniSection* IniDocument::AddSection(std::string name, std::string header) {
  auto section = std::make_unique<IniSection>(std::move(name), std::move(header));
  IniSection* added = section.get();
  sections_.push_back(std::move(section));
  byName_.emplace(LowerAscii(added->Name()), added);
  return added;
}

void IniDocument::IndexSections() {
  byName_.clear();
  for (const auto& s : sections_)
    byName_.emplace(LowerAscii(s->Name()), s.get());
}

IniSection* IniDocument::Find(std::string_view name) const {
  auto it = byName_.find(LowerAscii(name));
  return it == byName_.end() ? nullptr : it->second;
}

void IniDocument::Parse(std::string_view text) {
  Reset();
  while (text.substr(0, 3) == "\xEF\xBB\xBF")
    text.remove_prefix(3);
  IniSection* current = sections_.front().get();
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
      if (IniSection* existing = Find(name); existing && !name.empty()) {
        current = existing;
      } else {
        current = AddSection(std::move(name), std::string(line));
      }
      continue;
    }
    IniSection::Line l;
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
    current->AppendParsed(std::move(l));
  }
}

std::string IniDocument::Format() const {
  std::string out;
  for (const auto& s : sections_)
    s->AppendTo(&out);
  return out;
}

std::optional<std::string_view> IniDocument::Get(std::string_view section,
                                                 std::string_view key) const {
  const IniSection* s = Find(section);
  const IniSection::Line* line = s ? s->FindKey(key) : nullptr;
  if (!line) return std::nullopt;
  return line->Value();
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string_view k = Trim(key);
  if (k.empty() || !Writable(section) || !Writable(k) || !Writable(value) ||
      k.find('=') != std::string_view::npos || k.front() == '[' || k.front() == ';' ||
      k.front() == '#' || section.find(']') != std::string_view::npos) {
    return false;
  }
  IniSection* s = Find(Trim(section));
  if (!s) {
    IniSection* last = sections_.back().get();
    if (!last->IsEmpty() && !Trim(last->Tail().raw).empty()) last->AppendParsed({});
    std::string name(Trim(section));
    std::string header = "[" + name + "]";
    s = AddSection(std::move(name), std::move(header));
  }
  s->Set(k, value);
  return true;
}

bool IniDocument::RemoveKey(std::string_view section, std::string_view key) {
  IniSection* s = Find(section);
  return s && s->RemoveKey(key);
}

bool IniDocument::RemoveSection(std::string_view section) {
  for (size_t i = 1; i < sections_.size(); ++i) {
    if (EqualsNoCase(sections_[i]->Name(), section)) {
      sections_.erase(sections_.begin() + static_cast<ptrdiff_t>(i));
      // Another section of the same name may now be the first; sections are few.
      IndexSections();
      return true;
    }
  }
  return false;
}

}  // namespace vk2::oru

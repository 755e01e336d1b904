#include "platform/net/header_list.h"

#include <algorithm>

namespace vk2 {
namespace {

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

const std::string* HeaderList::Find(std::string_view name) const {
  for (const Pair& p : pairs_) {
    if (EqualsIgnoringCase(p.first, name)) return &p.second;
  }
  return nullptr;
}

void HeaderList::Set(std::string_view name, std::string_view value) {
  Remove(name);
  Add(name, value);
}

void HeaderList::Add(std::string_view name, std::string_view value) {
  pairs_.emplace_back(std::string(name), std::string(value));
}

void HeaderList::Remove(std::string_view name) {
  pairs_.erase(std::remove_if(pairs_.begin(), pairs_.end(),
                              [name](const Pair& p) { return EqualsIgnoringCase(p.first, name); }),
               pairs_.end());
}

std::optional<int64_t> ParseDecimal(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  if (text.empty() || text.size() > 18) return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace vk2

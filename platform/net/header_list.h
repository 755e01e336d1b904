// Header lines as (name, value) pairs in arrival order; names compare ignoring ASCII case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vk2 {

bool EqualsIgnoringCase(std::string_view a, std::string_view b);

class HeaderList {
 public:
  using Pair = std::pair<std::string, std::string>;

  // The first value of `name`, or null.
  const std::string* Find(std::string_view name) const;
  // Replaces every value of `name` with one.
  void Set(std::string_view name, std::string_view value);
  void Add(std::string_view name, std::string_view value);
  void Remove(std::string_view name);
  const std::vector<Pair>& Pairs() const { return pairs_; }
  bool IsEmpty() const { return pairs_.empty(); }
  void Clear() { pairs_.clear(); }

 private:
  std::vector<Pair> pairs_;
};

// A decimal number of at most 18 digits, nothing else but surrounding blanks.
std::optional<int64_t> ParseDecimal(std::string_view text);

}  // namespace vk2

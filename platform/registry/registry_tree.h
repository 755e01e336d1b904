// The registry stand-in's key tree: keys with typed values and sub-keys. Key and value names
// compare without regard to ASCII case and keep the spelling and order in which they were made.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vk2::registry {

enum class ValueType : uint8_t { kString, kDword, kQword };

struct RegistryValue {
  std::string name;  // "" is the key's default value
  ValueType type = ValueType::kString;
  std::string text;     // kString
  uint64_t number = 0;  // kDword, kQword
};

bool NamesEqual(std::string_view a, std::string_view b);

class RegistryKey {
 public:
  explicit RegistryKey(std::string name = {}) : name_(std::move(name)) {}
  // Deep copies.
  RegistryKey(const RegistryKey& other);
  RegistryKey& operator=(const RegistryKey& other);
  RegistryKey(RegistryKey&&) noexcept = default;
  RegistryKey& operator=(RegistryKey&&) noexcept = default;

  const std::string& Name() const { return name_; }

  RegistryKey* FindChild(std::string_view name);
  const RegistryKey* FindChild(std::string_view name) const;
  // Finds or appends.
  RegistryKey& Child(std::string_view name);
  bool RemoveChild(std::string_view name);
  const std::vector<std::unique_ptr<RegistryKey>>& Children() const { return children_; }

  // Follows `path` (null when a key is missing) or makes the missing keys.
  const RegistryKey* Find(const std::vector<std::string>& path) const;
  RegistryKey* Find(const std::vector<std::string>& path);
  RegistryKey& Make(const std::vector<std::string>& path);

  const RegistryValue* FindValue(std::string_view name) const;
  void SetString(std::string_view name, std::string_view text);
  void SetNumber(std::string_view name, ValueType type, uint64_t number);
  bool RemoveValue(std::string_view name);
  const std::vector<RegistryValue>& Values() const { return values_; }

  bool operator==(const RegistryKey& other) const;

 private:
  RegistryValue& ValueSlot(std::string_view name);

  std::string name_;
  std::vector<RegistryValue> values_;
  std::vector<std::unique_ptr<RegistryKey>> children_;
};

// "A\\B\\C" -> {"A", "B", "C"}; empty components are dropped.
std::vector<std::string> SplitKeyPath(std::string_view path);

}  // namespace vk2::registry

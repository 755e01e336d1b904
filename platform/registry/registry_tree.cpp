#include "platform/registry/registry_tree.h"

#include <algorithm>
#include <utility>

namespace vk2::registry {
namespace {

char Fold(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool NamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

RegistryKey::RegistryKey(const RegistryKey& other) : name_(other.name_), values_(other.values_) {
  children_.reserve(other.children_.size());
  for (const auto& c : other.children_)
    children_.push_back(std::make_unique<RegistryKey>(*c));
}

RegistryKey& RegistryKey::operator=(const RegistryKey& other) {
  if (this != &other) *this = RegistryKey(other);
  return *this;
}

RegistryKey* RegistryKey::FindChild(std::string_view name) {
  for (auto& c : children_) {
    if (NamesEqual(c->name_, name)) return c.get();
  }
  return nullptr;
}

const RegistryKey* RegistryKey::FindChild(std::string_view name) const {
  return const_cast<RegistryKey*>(this)->FindChild(name);
}

RegistryKey& RegistryKey::Child(std::string_view name) {
  if (RegistryKey* found = FindChild(name)) return *found;
  children_.push_back(std::make_unique<RegistryKey>(std::string(name)));
  return *children_.back();
}

bool RegistryKey::RemoveChild(std::string_view name) {
  auto it = std::find_if(children_.begin(), children_.end(),
                         [&](const auto& c) { return NamesEqual(c->name_, name); });
  if (it == children_.end()) return false;
  children_.erase(it);
  return true;
}

const RegistryKey* RegistryKey::Find(const std::vector<std::string>& path) const {
  const RegistryKey* key = this;
  for (const auto& part : path) {
    key = key->FindChild(part);
    if (!key) return nullptr;
  }
  return key;
}

RegistryKey* RegistryKey::Find(const std::vector<std::string>& path) {
  return const_cast<RegistryKey*>(std::as_const(*this).Find(path));
}

RegistryKey& RegistryKey::Make(const std::vector<std::string>& path) {
  RegistryKey* key = this;
  for (const auto& part : path)
    key = &key->Child(part);
  return *key;
}

const RegistryValue* RegistryKey::FindValue(std::string_view name) const {
  for (const auto& v : values_) {
    if (NamesEqual(v.name, name)) return &v;
  }
  return nullptr;
}

RegistryValue& RegistryKey::ValueSlot(std::string_view name) {
  for (auto& v : values_) {
    if (NamesEqual(v.name, name)) return v;
  }
  values_.push_back(RegistryValue{std::string(name), ValueType::kString, {}, 0});
  return values_.back();
}

void RegistryKey::SetString(std::string_view name, std::string_view text) {
  RegistryValue& v = ValueSlot(name);
  v.type = ValueType::kString;
  v.text.assign(text);
  v.number = 0;
}

void RegistryKey::SetNumber(std::string_view name, ValueType type, uint64_t number) {
  RegistryValue& v = ValueSlot(name);
  v.type = type;
  v.text.clear();
  v.number = type == ValueType::kDword ? static_cast<uint32_t>(number) : number;
}

bool RegistryKey::RemoveValue(std::string_view name) {
  auto it = std::find_if(values_.begin(), values_.end(),
                         [&](const RegistryValue& v) { return NamesEqual(v.name, name); });
  if (it == values_.end()) return false;
  values_.erase(it);
  return true;
}

bool RegistryKey::operator==(const RegistryKey& other) const {
  if (name_ != other.name_ || values_.size() != other.values_.size() ||
      children_.size() != other.children_.size()) {
    return false;
  }
  for (size_t i = 0; i < values_.size(); ++i) {
    const auto& a = values_[i];
    const auto& b = other.values_[i];
    if (a.name != b.name || a.type != b.type || a.text != b.text || a.number != b.number) {
      return false;
    }
  }
  for (size_t i = 0; i < children_.size(); ++i) {
    if (!(*children_[i] == *other.children_[i])) return false;
  }
  return true;
}

std::vector<std::string> SplitKeyPath(std::string_view path) {
  std::vector<std::string> parts;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t next = path.find('\\', pos);
    if (next == std::string_view::npos) next = path.size();
    if (next > pos) parts.emplace_back(path.substr(pos, next - pos));
    pos = next + 1;
  }
  return parts;
}

}  // namespace vk2::registry

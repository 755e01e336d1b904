#include "oru/services/prefs/preference_tree.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <pugixml.hpp>
#include <sstream>

#include "oru/core/number_text.h"
#include "oru/core/text_util.h"
#include "platform/file_lock.h"
#include "platform/registry/file_stamp.h"
#include "platform/user_folders.h"
#include "platform/whole_file.h"

namespace vk2::oru {
namespace {

constexpr int kMaxDepth = 256;
constexpr uint32_t kLockTimeoutMs = 20000;

struct TypeName {
  PrefType type;
  const char* name;
};
constexpr TypeName kTypeNames[] = {
    {PrefType::kString, "string"},     {PrefType::kBool, "bool"},
    {PrefType::kInt, "int"},           {PrefType::kUnsigned, "unsigned"},
    {PrefType::kDouble, "double"},     {PrefType::kDoubleList, "doublelist"},
    {PrefType::kGuidList, "guidlist"},
};

bool IsList(PrefType t) {
  return t == PrefType::kDoubleList || t == PrefType::kGuidList;
}

bool ReadSection(const pugi::xml_node& node, PrefSection* section, int depth, std::string* error) {
  if (depth > kMaxDepth) {
    *error = "sections nested too deeply";
    return false;
  }
  for (pugi::xml_node child : node.children()) {
    if (child.type() != pugi::node_element) continue;
    std::string_view tag = child.name();
    std::string name = child.attribute("name").value();
    if (name.empty()) continue;
    if (tag == "section") {
      if (!ReadSection(child, &section->Child(name), depth + 1, error)) return false;
    } else if (tag == "value") {
      PrefType type;
      // Values of a type this version does not know are dropped, not fatal.
      if (!PrefTypeFromName(child.attribute("type").value(), &type)) continue;
      PrefValue value;
      value.name = name;
      value.type = type;
      if (IsList(type)) {
        for (pugi::xml_node item : child.children("item"))
          value.items.push_back(item.text().get());
      } else {
        value.text = child.text().get();
      }
      pugi::xml_attribute minimum = child.attribute("min");
      pugi::xml_attribute maximum = child.attribute("max");
      if (type == PrefType::kInt && minimum && maximum &&
          ParseInt32Text(minimum.value(), &value.minimum) &&
          ParseInt32Text(maximum.value(), &value.maximum) && value.minimum <= value.maximum) {
        value.hasRange = true;
      }
      if (PrefValue* existing = section->FindValue(name)) {
        *existing = std::move(value);
      } else {
        section->values.push_back(std::move(value));
      }
    }
  }
  return true;
}

void WriteSection(pugi::xml_node node, const PrefSection& section) {
  for (const PrefValue& v : section.values) {
    pugi::xml_node e = node.append_child("value");
    e.append_attribute("name") = v.name.c_str();
    e.append_attribute("type") = PrefTypeName(v.type);
    if (v.type == PrefType::kInt && v.hasRange) {
      e.append_attribute("min") = std::to_string(v.minimum).c_str();
      e.append_attribute("max") = std::to_string(v.maximum).c_str();
    }
    if (IsList(v.type)) {
      for (const std::string& item : v.items) {
        e.append_child("item").append_child(pugi::node_pcdata).set_value(item.c_str());
      }
    } else if (!v.text.empty()) {
      e.append_child(pugi::node_pcdata).set_value(v.text.c_str());
    }
  }
  for (const auto& child : section.children) {
    pugi::xml_node e = node.append_child("section");
    e.append_attribute("name") = child->name.c_str();
    WriteSection(e, *child);
  }
}

}  // namespace

const char* PrefTypeName(PrefType type) {
  for (const auto& t : kTypeNames) {
    if (t.type == type) return t.name;
  }
  return "string";
}

bool PrefTypeFromName(std::string_view name, PrefType* type) {
  for (const auto& t : kTypeNames) {
    if (name == t.name) {
      *type = t.type;
      return true;
    }
  }
  return false;
}

PrefSection* PrefSection::FindChild(std::string_view childName) {
  for (auto& c : children) {
    if (EqualsNoCase(c->name, childName)) return c.get();
  }
  return nullptr;
}

PrefSection& PrefSection::Child(std::string_view childName) {
  if (PrefSection* found = FindChild(childName)) return *found;
  auto child = std::make_unique<PrefSection>();
  child->name.assign(childName);
  child->parent = this;
  children.push_back(std::move(child));
  return *children.back();
}

PrefValue* PrefSection::FindValue(std::string_view valueName) {
  for (auto& v : values) {
    if (EqualsNoCase(v.name, valueName)) return &v;
  }
  return nullptr;
}

const PrefValue* PrefSection::FindValue(std::string_view valueName) const {
  return const_cast<PrefSection*>(this)->FindValue(valueName);
}

bool PrefSection::RemoveValue(std::string_view valueName) {
  auto it = std::find_if(values.begin(), values.end(),
                         [&](const PrefValue& v) { return EqualsNoCase(v.name, valueName); });
  if (it == values.end()) return false;
  values.erase(it);
  return true;
}

bool ParsePreferencesText(std::string_view text, PrefSection* root, std::string* error) {
  root->values.clear();
  root->children.clear();
  pugi::xml_document doc;
  pugi::xml_parse_result result =
      doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
  if (!result) {
    *error = std::string("not well-formed XML at byte ") + std::to_string(result.offset) + ": " +
             result.description();
    return false;
  }
  pugi::xml_node top = doc.document_element();
  if (std::string_view(top.name()) != "preferences") {
    *error = "the document is not a preferences file";
    return false;
  }
  if (!ReadSection(top, root, 0, error)) {
    root->values.clear();
    root->children.clear();
    return false;
  }
  return true;
}

std::string FormatPreferencesText(const PrefSection& root) {
  pugi::xml_document doc;
  pugi::xml_node decl = doc.append_child(pugi::node_declaration);
  decl.append_attribute("version") = "1.0";
  decl.append_attribute("encoding") = "UTF-8";
  pugi::xml_node top = doc.append_child("preferences");
  top.append_attribute("version") = "1";
  WriteSection(top, root);
  std::ostringstream out;
  doc.save(out, "  ", pugi::format_indent, pugi::encoding_utf8);
  return out.str();
}

PreferenceTree::PreferenceTree(std::string path) : path_(std::move(path)) {}

void PreferenceTree::SetReporter(Reporter reporter) {
  std::lock_guard lock(mutex_);
  reporter_ = std::move(reporter);
}

void PreferenceTree::Report(const std::string& line) {
  if (reporter_) {
    reporter_(line);
  } else {
    std::fprintf(stderr, "velkora2: %s\n", line.c_str());
  }
}

void PreferenceTree::MarkChanged(const PrefSection* section, std::string_view name) {
  changes_.Note(section, name);
  dirty_ = true;
}

PreferenceTree::FileState PreferenceTree::ReadFile(PrefSection* into, std::string* error) const {
  into->values.clear();
  into->children.clear();
  std::string text;
  if (std::error_code ec = ReadWholeFile(path_, &text)) {
    if (ec == std::errc::no_such_file_or_directory) return FileState::kMissing;
    *error = ec.message();
    return FileState::kUnreadable;
  }
  return ParsePreferencesText(text, into, error) ? FileState::kRead : FileState::kUnreadable;
}

std::error_code PreferenceTree::LockFile(FileLock* lock) {
  if (std::error_code ec = MakeFolders(ParentFolder(path_))) return ec;
  return lock->Acquire(path_ + ".lock", FileLockMode::kExclusive, kLockTimeoutMs);
}

bool PreferenceTree::KeepAside(const std::string& why, std::string* error) {
  std::string aside;
  if (std::error_code ec = MoveAside(path_, ".bad", &aside)) {
    *error = "preferences " + path_ + " cannot be read (" + why + ") nor moved aside (" +
             ec.message() + "); they are not saved over";
    Report(*error);
    return false;
  }
  Report("preferences " + path_ + " cannot be read (" + why + "); kept as " + aside);
  return true;
}

PrefSection& PreferenceTree::Root() {
  std::lock_guard lock(mutex_);
  if (loaded_) return root_;
  loaded_ = true;
  if (path_.empty()) return root_;
  std::string why;
  if (ReadFile(&root_, &why) != FileState::kUnreadable) return root_;
  // Kept for the user now, under the writers' lock, rather than overwritten by a later save.
  FileLock fileLock;
  if (std::error_code ec = LockFile(&fileLock)) {
    Report("preferences " + path_ + " cannot be read (" + why + ") nor locked (" + ec.message() +
           ")");
    return root_;
  }
  if (ReadFile(&root_, &why) == FileState::kUnreadable) {
    std::string ignored;
    KeepAside(why, &ignored);
  }
  return root_;
}

bool PreferenceTree::Save(std::string* error) {
  std::lock_guard lock(mutex_);
  PrefSection& mine = Root();
  if (path_.empty()) {
    *error = "there is no folder for the preferences";
    return false;
  }
  // Writers in other processes (and writers killed mid-save) are kept apart by the lock.
  FileLock fileLock;
  if (std::error_code ec = LockFile(&fileLock)) {
    *error = "cannot save " + path_ + ": " + ec.message();
    return false;
  }
  RemoveAbandonedTemporaries(path_);
  // Another process may have saved since this one read: start from what it left.
  PrefSection merged;
  std::string why;
  if (ReadFile(&merged, &why) == FileState::kUnreadable) {
    if (!KeepAside(why, error)) return false;
    // What this process last read is the best copy of the values left.
    CopyValuesInto(mine, &merged);
  }
  changes_.ApplyTo(mine, &merged);
  if (std::error_code ec = WriteFileAtomic(path_, FormatPreferencesText(merged))) {
    *error = "cannot save " + path_ + ": " + ec.message();
    return false;
  }
  CopyValuesInto(merged, &mine);
  changes_.Clear();
  dirty_ = false;
  return true;
}

}  // namespace vk2::oru

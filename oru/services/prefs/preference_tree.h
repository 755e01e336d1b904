// The process's one preference tree, loaded from and saved to an XML file:
//
//   <preferences version="1">
//     <section name="velkora">
//       <value name="volume" type="double">0.75</value>
//       <value name="bands" type="int" min="0" max="31">10</value>
//       <value name="gains" type="doublelist"><item>1</item><item>0.5</item></value>
//       <section name="gui">...</section>
//     </section>
//   </preferences>
//
// Section and value names compare without regard to ASCII case. Sections are never removed,
// so store cursors stay valid for the tree's life.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace vk2::oru {

enum class PrefType : uint8_t { kString, kBool, kInt, kUnsigned, kDouble, kDoubleList, kGuidList };

const char* PrefTypeName(PrefType type);
bool PrefTypeFromName(std::string_view name, PrefType* type);

struct PrefValue {
  std::string name;
  PrefType type = PrefType::kString;
  std::string text;                // scalar types
  std::vector<std::string> items;  // list types
  bool hasRange = false;           // int values fixed by PrepInt
  int32_t minimum = 0;
  int32_t maximum = 0;
};

struct PrefSection {
  std::string name;
  PrefSection* parent = nullptr;
  std::vector<PrefValue> values;
  std::vector<std::unique_ptr<PrefSection>> children;

  PrefSection* FindChild(std::string_view childName);
  PrefSection& Child(std::string_view childName);
  PrefValue* FindValue(std::string_view valueName);
  bool RemoveValue(std::string_view valueName);
};

// Reads the file format into `root` (emptied first). False with `error` on bad input.
bool ParsePreferencesText(std::string_view text, PrefSection* root, std::string* error);
std::string FormatPreferencesText(const PrefSection& root);

class PreferenceTree {
 public:
  explicit PreferenceTree(std::string path);

  // Every access to sections and values holds this lock.
  std::recursive_mutex& Mutex() { return mutex_; }
  // The top section, loading the file on first use. Lock held.
  PrefSection& Root();
  void MarkDirty() { dirty_ = true; }
  bool Dirty() const { return dirty_; }
  // Writes the tree atomically. False with `error` set when it cannot.
  bool Save(std::string* error);
  const std::string& Path() const { return path_; }

 private:
  std::recursive_mutex mutex_;
  std::string path_;
  PrefSection root_;
  bool loaded_ = false;
  bool dirty_ = false;
};

}  // namespace vk2::oru

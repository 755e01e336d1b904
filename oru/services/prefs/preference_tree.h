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
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "oru/services/prefs/preference_merge.h"

namespace vk2 {
class FileLock;
}

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
  const PrefValue* FindValue(std::string_view valueName) const;
  bool RemoveValue(std::string_view valueName);
};

// Reads the file format into `root` (emptied first). False with `error` on bad input.
bool ParsePreferencesText(std::string_view text, PrefSection* root, std::string* error);
std::string FormatPreferencesText(const PrefSection& root);

class PreferenceTree {
 public:
  // Where problems with the file are told (the console); stderr until one is given.
  using Reporter = std::function<void(const std::string& line)>;

  explicit PreferenceTree(std::string path);

  void SetReporter(Reporter reporter);
  // Every access to sections and values holds this lock.
  std::recursive_mutex& Mutex() { return mutex_; }
  // The top section, loading the file on first use. Lock held.
  PrefSection& Root();
  // A section was made. Lock held.
  void MarkDirty() { dirty_ = true; }
  // The value `name` of `section` was set, changed or removed. Lock held.
  void MarkChanged(const PrefSection* section, std::string_view name);
  bool Dirty() const { return dirty_; }
  // Under the file lock, reads the file again, applies this process's changes since it last
  // read it and writes the result atomically; the tree then holds the result. False with
  // `error` set when it cannot (the changes stay for the next save).
  bool Save(std::string* error);
  const std::string& Path() const { return path_; }

 private:
  enum class FileState { kRead, kMissing, kUnreadable };
  // Reads the file into `into` (emptied). On kUnreadable, `error` says why.
  FileState ReadFile(PrefSection* into, std::string* error) const;
  // With the file lock held: moves a file that cannot be read out of the way, so that saving
  // loses nothing. False, with `error` set, when it stays in place.
  bool KeepAside(const std::string& why, std::string* error);
  // Takes the lock every writer of the file takes, making the folder first.
  std::error_code LockFile(FileLock* lock);
  void Report(const std::string& line);

  std::recursive_mutex mutex_;
  std::string path_;
  PrefSection root_;
  PrefChanges changes_;
  Reporter reporter_;
  bool loaded_ = false;
  bool dirty_ = false;
};

}  // namespace vk2::oru

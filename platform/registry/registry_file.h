// A registry file shared by every process of the user. Reads come from a cached tree that is
// read again when another process has replaced the file; changes are read-modify-write under
// an inter-process lock and replace the file atomically, so parallel writers never lose each
// other's changes and readers never see half a file.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/registry/file_stamp.h"
#include "platform/registry/registry_tree.h"

namespace vk2::registry {

// $VK2_REGISTRY when set, else $XDG_CONFIG_HOME/velkora2/registry.xml; empty when there is no
// per-user folder (every read then sees an empty registry and every write fails).
std::string DefaultRegistryPath();

class RegistryFile {
 public:
  explicit RegistryFile(std::string path);

  const std::string& Path() const { return path_; }

  // Calls `reader` with the current tree. False when the file exists but cannot be read or
  // parsed (`reader` then sees an empty tree).
  bool Read(const std::function<void(const RegistryKey& root)>& reader);
  // Re-reads the file under the lock, lets `change` edit the tree and writes it when `change`
  // returns true. A file that cannot be parsed is kept beside as "<path>.bad" first.
  bool Update(const std::function<bool(RegistryKey& root)>& change, std::string* error = nullptr);
  // Grows whenever the contents seen by this object change (own writes or another process's).
  uint64_t Generation();

 private:
  // Refreshes the cache from disk when the file changed; `mutex_` held.
  bool RefreshLocked(std::string* error, bool force = false);

  std::string path_;
  std::recursive_mutex mutex_;
  RegistryKey tree_;
  std::optional<FileStamp> stamp_;
  bool loaded_ = false;
  bool readable_ = true;
  uint64_t generation_ = 0;
};

// ---- Windows-style access to the default registry file ---------------------------------------
enum class RootKey { kClassesRoot, kCurrentUser, kLocalMachine };
const char* RootKeyName(RootKey root);

// The process's object for DefaultRegistryPath(), made again when that path changes.
std::shared_ptr<RegistryFile> DefaultRegistry();

// `keyPath` uses '\\' between keys. False when the key or value is missing or of another type.
bool RegReadString(RootKey root, const std::string& keyPath, const std::string& valueName,
                   std::string* value);
bool RegWriteString(RootKey root, const std::string& keyPath, const std::string& valueName,
                    const std::string& value);
bool RegReadNumber(RootKey root, const std::string& keyPath, const std::string& valueName,
                   uint64_t* value);
bool RegWriteNumber(RootKey root, const std::string& keyPath, const std::string& valueName,
                    ValueType type, uint64_t value);
bool RegDeleteValue(RootKey root, const std::string& keyPath, const std::string& valueName);
// Removes the key and everything under it.
bool RegDeleteKey(RootKey root, const std::string& keyPath);

}  // namespace vk2::registry

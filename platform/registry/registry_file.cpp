#include "platform/registry/registry_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/environment.h"
#include "platform/file_lock.h"
#include "platform/registry/registry_format.h"
#include "platform/user_folders.h"
#include "platform/whole_file.h"

namespace vk2::registry {
namespace {

// Long enough for a slow disk, short enough that a stuck process cannot hang the others.
constexpr uint32_t kLockTimeoutMs = 20000;

std::vector<std::string> FullPath(RootKey root, const std::string& keyPath) {
  std::vector<std::string> path = SplitKeyPath(keyPath);
  path.insert(path.begin(), RootKeyName(root));
  return path;
}

}  // namespace

std::string DefaultRegistryPath() {
  std::optional<std::string> explicitPath = GetEnv("VK2_REGISTRY");
  if (explicitPath && !explicitPath->empty()) return *explicitPath;
  std::string folder = UserFolderPath(UserFolder::kConfig);
  return folder.empty() ? std::string() : folder + "/registry.xml";
}

RegistryFile::RegistryFile(std::string path) : path_(std::move(path)) {}

bool RegistryFile::RefreshLocked(std::string* error, bool force) {
  std::optional<FileStamp> stamp = StampOf(path_);
  if (loaded_ && !force && stamp == stamp_) return readable_;
  RegistryKey fresh;
  bool ok = true;
  if (stamp) {
    std::string text;
    if (std::error_code ec = ReadWholeFile(path_, &text)) {
      if (ec != std::errc::no_such_file_or_directory) {
        ok = false;
        if (error) *error = path_ + ": " + ec.message();
      }
    } else if (!ParseRegistryText(text, &fresh, error)) {
      ok = false;
      if (error) *error = path_ + ": " + *error;
    }
  }
  if (!loaded_ || !(fresh == tree_)) ++generation_;
  tree_ = std::move(fresh);
  stamp_ = stamp;
  loaded_ = true;
  readable_ = ok;
  return ok;
}

bool RegistryFile::Read(const std::function<void(const RegistryKey& root)>& reader) {
  std::lock_guard lock(mutex_);
  bool ok = RefreshLocked(nullptr);
  reader(tree_);
  return ok;
}

bool RegistryFile::Update(const std::function<bool(RegistryKey& root)>& change,
                          std::string* error) {
  std::lock_guard lock(mutex_);
  if (path_.empty()) {
    if (error) *error = "there is no folder for the registry";
    return false;
  }
  if (std::error_code ec = MakeFolders(ParentFolder(path_))) {
    if (error) *error = "cannot make the folder of " + path_ + ": " + ec.message();
    return false;
  }
  FileLock fileLock;
  if (std::error_code ec =
          fileLock.Acquire(path_ + ".lock", FileLockMode::kExclusive, kLockTimeoutMs)) {
    if (error) *error = "cannot lock " + path_ + ": " + ec.message();
    return false;
  }
  RemoveAbandonedTemporaries(path_);
  std::string readError;
  // Under the lock the file is what the last writer left; read it whatever the stamp says.
  if (!RefreshLocked(&readError, true)) {
    // Keep the unreadable file for inspection rather than writing over it.
    std::string aside;
    if (MoveAside(path_, ".bad", &aside)) {
      if (error) *error = readError;
      return false;
    }
    std::fprintf(stderr, "velkora2: registry %s is damaged (%s); kept as %s\n", path_.c_str(),
                 readError.c_str(), aside.c_str());
    tree_ = RegistryKey();
    readable_ = true;
  }
  RegistryKey edited = tree_;
  if (!change(edited)) return true;
  if (edited == tree_) return true;
  if (std::error_code ec = WriteFileAtomic(path_, FormatRegistryText(edited))) {
    if (error) *error = "cannot write " + path_ + ": " + ec.message();
    return false;
  }
  tree_ = std::move(edited);
  stamp_ = StampOf(path_);
  ++generation_;
  return true;
}

uint64_t RegistryFile::Generation() {
  std::lock_guard lock(mutex_);
  RefreshLocked(nullptr);
  return generation_;
}

const char* RootKeyName(RootKey root) {
  switch (root) {
    case RootKey::kClassesRoot:
      return "HKEY_CLASSES_ROOT";
    case RootKey::kCurrentUser:
      return "HKEY_CURRENT_USER";
    case RootKey::kLocalMachine:
      return "HKEY_LOCAL_MACHINE";
  }
  return "HKEY_CLASSES_ROOT";
}

std::shared_ptr<RegistryFile> DefaultRegistry() {
  static std::mutex mutex;
  static std::shared_ptr<RegistryFile> current;
  std::string path = DefaultRegistryPath();
  std::lock_guard lock(mutex);
  if (!current || current->Path() != path) current = std::make_shared<RegistryFile>(path);
  return current;
}

bool RegReadString(RootKey root, const std::string& keyPath, const std::string& valueName,
                   std::string* value) {
  bool found = false;
  DefaultRegistry()->Read([&](const RegistryKey& tree) {
    const RegistryKey* key = tree.Find(FullPath(root, keyPath));
    const RegistryValue* v = key ? key->FindValue(valueName) : nullptr;
    if (v && v->type == ValueType::kString) {
      *value = v->text;
      found = true;
    }
  });
  return found;
}

bool RegReadNumber(RootKey root, const std::string& keyPath, const std::string& valueName,
                   uint64_t* value) {
  bool found = false;
  DefaultRegistry()->Read([&](const RegistryKey& tree) {
    const RegistryKey* key = tree.Find(FullPath(root, keyPath));
    const RegistryValue* v = key ? key->FindValue(valueName) : nullptr;
    if (v && v->type != ValueType::kString) {
      *value = v->number;
      found = true;
    }
  });
  return found;
}

bool RegWriteString(RootKey root, const std::string& keyPath, const std::string& valueName,
                    const std::string& value) {
  return DefaultRegistry()->Update([&](RegistryKey& tree) {
    tree.Make(FullPath(root, keyPath)).SetString(valueName, value);
    return true;
  });
}

bool RegWriteNumber(RootKey root, const std::string& keyPath, const std::string& valueName,
                    ValueType type, uint64_t value) {
  return DefaultRegistry()->Update([&](RegistryKey& tree) {
    tree.Make(FullPath(root, keyPath)).SetNumber(valueName, type, value);
    return true;
  });
}

bool RegDeleteValue(RootKey root, const std::string& keyPath, const std::string& valueName) {
  bool removed = false;
  bool ok = DefaultRegistry()->Update([&](RegistryKey& tree) {
    RegistryKey* key = tree.Find(FullPath(root, keyPath));
    removed = key && key->RemoveValue(valueName);
    return removed;
  });
  return ok && removed;
}

bool RegDeleteKey(RootKey root, const std::string& keyPath) {
  bool removed = false;
  bool ok = DefaultRegistry()->Update([&](RegistryKey& tree) {
    std::vector<std::string> path = FullPath(root, keyPath);
    std::string last = path.back();
    path.pop_back();
    RegistryKey* parent = tree.Find(path);
    removed = parent && parent->RemoveChild(last);
    return removed;
  });
  return ok && removed;
}

}  // namespace vk2::registry

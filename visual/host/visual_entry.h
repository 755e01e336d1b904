// One loaded visual: a first-generation plug-in file, or one runtime visual module class that a
// plug-in file registered. Owned by the handler's list; handles and instances keep it alive.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "component/module/module_library.h"
#include "foundation/text/tstring.h"
#include "foundation/util/guid.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/visual/visual_host.h"

namespace vk2 {

class MPlayer;
class VisualInstance;

class VisualEntry : public std::enable_shared_from_this<VisualEntry> {
 public:
  VisualEntry(TString file, Guid classId, RefPtr<MVisualAudioHistory> history);
  ~VisualEntry();
  VisualEntry(const VisualEntry&) = delete;
  VisualEntry& operator=(const VisualEntry&) = delete;

  const TString& File() const { return file_; }
  const Guid& ClassId() const { return classId_; }
  MVisualAudioHistory* History() const { return history_.Get(); }
  ModuleLibrary& Library() { return library_; }

  uint32_t id = 0;
  bool firstGeneration = false;
  uint32_t pluginWord = 0;
  uint8_t attributes[3] = {0, 0, 0};
  // Set by removal requests and by a plug-in fault; hides the entry from every lookup.
  std::atomic<bool> removalPending{false};
  uint32_t useCount = 0;  // open handles; guarded by the handler's entry lock

  TString Name();
  void SetName(const TString& name);

  // The instance serving `player` (reusing one not yet connected), made ready and connected;
  // null when the visual cannot be made ready.
  std::shared_ptr<VisualInstance> InstanceFor(MPlayer* player);
  // The instance Add file made while probing the file.
  void AdoptInstance(std::shared_ptr<VisualInstance> instance);
  // Releases every instance's module objects, then unloads the library.
  void TearDown();

 private:
  std::recursive_mutex lock_;  // the instances; taken before an instance's locks
  std::mutex nameLock_;        // innermost: plug-ins name their entry from inside their calls
  TString file_;
  Guid classId_{};
  RefPtr<MVisualAudioHistory> history_;
  ModuleLibrary library_;
  TString name_;
  std::vector<std::shared_ptr<VisualInstance>> instances_;
};

}  // namespace vk2

// The visual handler: the list of loaded visuals with identifiers that are never reused, handles
// by identifier or name, the scan of plug-in files, the walk over post-effect classes and the
// audio history every visual reads.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/class_enumerator.h"
#include "interfaces/visual/visual_host.h"
#include "visual/audio_history.h"

namespace vk2 {

class VisualEntry;

class VisualHostObject final
    : public ComObject<VisualHostObject, Face<MVisualHost, kIID_MVisualHost>>,
      private MRegistryChangeListener {
 public:
  static RefPtr<VisualHostObject> Make();

  RefPtr<MVisualAudioHistory> History() const {
    return RefPtr<MVisualAudioHistory>(history_.Get());
  }
  // Lets go of the runtime and every entry (the module's last detach).
  void Shutdown();
  // A handle on `entry` went away.
  void HandleClosed(const std::shared_ptr<VisualEntry>& entry);

  // Adds one file; 0, -6 for a file already listed, kErrNotSupported for a file that is no
  // visual, or the load's failure.
  int32_t AddFile(const TString& path);

  uint32_t GetCount() override;
  uint32_t GetNextId(uint32_t id) override;
  uint32_t GetPrevId(uint32_t id) override;
  uint8_t GetAttribute(uint32_t id, int32_t index) override;
  int32_t GetVisualById(uint32_t id, MVisual** out) override;
  int32_t GetVisualByName(const char16_t* name, MVisual** out) override;
  int32_t AddFiles(const char16_t* pattern) override;
  int32_t ScanVisualsPath(MPreferenceStore* section) override;
  int32_t RemoveVisual(uint32_t id) override;
  int32_t RemoveVisualFile(const char16_t* path) override;
  int32_t PurgeUnused() override { return Purge(0); }
  int32_t GetAudioHistory(MVisualAudioHistory** out) override;
  int32_t NextPostEffect(MVisualPostEffect** effect, Guid* classId) override;
  int32_t AddRemoveListener(MVisualHostListener* listener, int32_t add) override;
  int32_t Purge(int32_t force) override;

 private:
  friend class ComObject<VisualHostObject, Face<MVisualHost, kIID_MVisualHost>>;
  VisualHostObject();
  ~VisualHostObject() override;

  void OnRegistryChanged() override;
  uint32_t TakeId() { return nextId_.fetch_add(1); }
  int32_t HandOut(const std::shared_ptr<VisualEntry>& entry, MVisual** out);
  bool Listed(const TString& file, const Guid& classId);  // under lock_
  // Removes `entry` now when no handle is open, else marks it pending. Under lock_.
  void RemoveOrMark(const std::shared_ptr<VisualEntry>& entry);
  void AddRuntimeModules(const TString& path, bool* added);

  std::recursive_mutex lock_;  // the entry list
  std::vector<std::shared_ptr<VisualEntry>> entries_;
  std::atomic<uint32_t> nextId_{1};
  std::recursive_mutex listenerLock_;
  std::vector<MVisualHostListener*> listeners_;
  RefPtr<VisualAudioHistory> history_;
  RefPtr<MClassEnumerator> classes_;
};

}  // namespace vk2

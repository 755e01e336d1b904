#include "visual/host/visual_entry.h"

#include "visual/plugin/visual_instance.h"

namespace vk2 {

VisualEntry::VisualEntry(TString file, Guid classId, RefPtr<MVisualAudioHistory> history)
    : file_(std::move(file)), classId_(classId), history_(std::move(history)), name_(file_) {}

VisualEntry::~VisualEntry() {
  TearDown();
}

TString VisualEntry::Name() {
  std::lock_guard<std::mutex> lock(nameLock_);
  return name_;
}

void VisualEntry::SetName(const TString& name) {
  std::lock_guard<std::mutex> lock(nameLock_);
  name_ = name;
}

void VisualEntry::AdoptInstance(std::shared_ptr<VisualInstance> instance) {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  instances_.push_back(std::move(instance));
}

std::shared_ptr<VisualInstance> VisualEntry::InstanceFor(MPlayer* player) {
  if (!player) return nullptr;
  std::shared_ptr<VisualInstance> taken;
  bool made = false;
  {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    for (auto it = instances_.rbegin(); it != instances_.rend(); ++it) {
      if ((*it)->Player() == player || !(*it)->Connected()) {
        taken = *it;
        break;
      }
    }
    if (!taken) {
      taken = std::make_shared<VisualInstance>(this);
      instances_.push_back(taken);
      made = true;
    }
  }
  const bool ready = firstGeneration ? taken->Query() : taken->CreateModule();
  if (!ready) {
    if (made) {
      std::lock_guard<std::recursive_mutex> lock(lock_);
      std::erase(instances_, taken);
    }
    return nullptr;
  }
  taken->Connect(player);
  return taken;
}

void VisualEntry::TearDown() {
  std::vector<std::shared_ptr<VisualInstance>> instances;
  {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    for (auto it = instances_.rbegin(); it != instances_.rend(); ++it)
      (*it)->Shutdown();
    instances.swap(instances_);
  }
  instances.clear();
  UnloadModule(&library_);
}

}  // namespace vk2

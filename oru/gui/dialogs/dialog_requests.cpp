#include "oru/gui/dialogs/dialog_requests.h"

#include <mutex>

namespace vk2 {

namespace {

struct Answerers {
  std::mutex mutex;
  FileDialogAnswerer files;
  MessageBoxAnswerer boxes;
};

Answerers& Installed() {
  static Answerers answerers;
  return answerers;
}

}  // namespace

ScopedDialogAnswerers::ScopedDialogAnswerers(FileDialogAnswerer files, MessageBoxAnswerer boxes) {
  Answerers& installed = Installed();
  std::scoped_lock guard(installed.mutex);
  previousFiles_ = std::exchange(installed.files, std::move(files));
  previousBoxes_ = std::exchange(installed.boxes, std::move(boxes));
}

ScopedDialogAnswerers::~ScopedDialogAnswerers() {
  Answerers& installed = Installed();
  std::scoped_lock guard(installed.mutex);
  installed.files = std::move(previousFiles_);
  installed.boxes = std::move(previousBoxes_);
}

FileDialogAnswerer CurrentFileDialogAnswerer() {
  Answerers& installed = Installed();
  std::scoped_lock guard(installed.mutex);
  return installed.files;
}

MessageBoxAnswerer CurrentMessageBoxAnswerer() {
  Answerers& installed = Installed();
  std::scoped_lock guard(installed.mutex);
  return installed.boxes;
}

std::vector<FileFilter> FiltersFromPairs(const TString* texts, uint32_t count) {
  std::vector<FileFilter> filters;
  for (uint32_t i = 0; texts && i + 1 < count; i += 2) {
    filters.push_back({texts[i], texts[i + 1]});
  }
  return filters;
}

}  // namespace vk2

// What a dialog asks and what it answers, independent of the toolkit that shows it; and the
// hook through which tests (and a headless run) answer dialogs without a person.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/file_dialogs.h"

namespace vk2 {

struct FileFilter {
  TString display;
  TString patterns;  // "*.mp3;*.ogg"
};

struct FileDialogRequest {
  bool save = false;
  bool multiple = false;
  bool folders = false;
  TString title;
  TString folder;
  TString fileName;
  std::vector<FileFilter> filters;
  int32_t filterIndex = 0;
  RefPtr<MDialogStrip> strip;
};

struct FileDialogResult {
  std::vector<TString> paths;  // none: cancelled
  int32_t filterIndex = 0;
};

struct MessageBoxRequest {
  TString text;
  TString caption;
  int32_t buttons = kMessageBoxOk;
};

// Answers a file dialog instead of a person. `strip` is the caller's strip already built into
// an in-memory host (null without a strip): the answerer may type into it and press its
// buttons, and when the strip closes the dialog the answer is "cancelled" whatever it returns.
using FileDialogAnswerer =
    std::function<FileDialogResult(const FileDialogRequest& request, MDialogStripHost* strip)>;
using MessageBoxAnswerer = std::function<int32_t(const MessageBoxRequest& request)>;

// Installs answerers for the lifetime of the guard (process-wide; the previous ones return).
class ScopedDialogAnswerers {
 public:
  ScopedDialogAnswerers(FileDialogAnswerer files, MessageBoxAnswerer boxes);
  ~ScopedDialogAnswerers();
  ScopedDialogAnswerers(const ScopedDialogAnswerers&) = delete;
  ScopedDialogAnswerers& operator=(const ScopedDialogAnswerers&) = delete;

 private:
  FileDialogAnswerer previousFiles_;
  MessageBoxAnswerer previousBoxes_;
};

// The installed answerers (empty functions when none).
FileDialogAnswerer CurrentFileDialogAnswerer();
MessageBoxAnswerer CurrentMessageBoxAnswerer();

// Filters from the flat list of display texts and patterns; an odd last text is dropped.
std::vector<FileFilter> FiltersFromPairs(const TString* texts, uint32_t count);

}  // namespace vk2

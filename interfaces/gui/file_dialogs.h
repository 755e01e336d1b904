// The open-files and save-file dialogs, and the strip a caller may place inside them. The
// dialogs are the desktop's own file chooser; they run modally on the GUI loop thread while the
// loop keeps serving every other window.
#pragma once

#include <cstdint>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

// What the dialog offers a caller's strip: simple controls laid out left to right in rows,
// named by the caller's control ids. Valid only during the strip's calls.
class MDialogStripHost {
 public:
  virtual int32_t AddLabel(int32_t id, const char16_t* text) = 0;
  // A one-line field with a drop-down list of earlier entries.
  virtual int32_t AddComboField(int32_t id) = 0;
  virtual int32_t AddButton(int32_t id, const char16_t* text) = 0;
  // The next controls go on a new row below.
  virtual int32_t NewRow() = 0;
  virtual int32_t InsertEntry(int32_t id, int32_t index, const char16_t* text) = 0;
  // Shows entry `index` of a combo field in its text.
  virtual int32_t SelectEntry(int32_t id, int32_t index) = 0;
  virtual int32_t GetText(int32_t id, TString* text) = 0;
  virtual int32_t SetText(int32_t id, const char16_t* text) = 0;
  // Closes the dialog as cancelled: it then answers no paths.
  virtual int32_t CloseDialog() = 0;

 protected:
  ~MDialogStripHost() = default;
};

class MDialogStrip : public MUnknown {
 public:
  // 3: the dialog is opening; the strip adds its controls and fills them.
  virtual int32_t Build(MDialogStripHost* host) = 0;
  // 4: the user pressed the strip's button `id`.
  virtual int32_t Command(MDialogStripHost* host, int32_t id) = 0;

 protected:
  ~MDialogStrip() = default;
};

// Filters are given as pairs in one list: display text, then patterns ("*.mp3;*.ogg"), again
// and again. Filter indices count the pairs from 0.
class MOpenFileDialog : public MUnknown {
 public:
  // 3: shows the dialog and waits; `paths` gets the chosen files, none when cancelled.
  virtual int32_t RunModal(TArray<TString>* paths) = 0;
  // 4: several files may be chosen.
  virtual int32_t SetMultipleSelection(int32_t multiple) = 0;
  // 5: `count` strings, two per filter.
  virtual int32_t SetFilters(const TString* texts, uint32_t count) = 0;
  // 6: the window's title (a default one without).
  virtual int32_t SetTitle(const char16_t* title) = 0;
  // 7: the folder the dialog starts in.
  virtual int32_t SetFolder(const char16_t* folder) = 0;
  // 8: chooses folders instead of files.
  virtual int32_t SetChooseFolders(int32_t folders) = 0;
  // 9, 10: the filter shown (before running) and the one the user left chosen (after).
  virtual int32_t SetFilterIndex(int32_t index) = 0;
  virtual int32_t GetFilterIndex() = 0;
  // 11: the caller's strip, placed below the file list (null: none).
  virtual int32_t SetStrip(MDialogStrip* strip) = 0;

 protected:
  ~MOpenFileDialog() = default;
};

class MSaveFileDialog : public MUnknown {
 public:
  // 3: shows the dialog and waits; `path` gets the chosen file, empty when cancelled.
  virtual int32_t RunModal(TString* path) = 0;
  // 4: as MOpenFileDialog::SetFilters.
  virtual int32_t SetFilters(const TString* texts, uint32_t count) = 0;
  // 5: the window's title.
  virtual int32_t SetTitle(const char16_t* title) = 0;
  // 6: the folder the dialog starts in.
  virtual int32_t SetFolder(const char16_t* folder) = 0;
  // 7: the file name proposed.
  virtual int32_t SetFileName(const char16_t* name) = 0;
  // 8, 9: the filter shown, and the one left chosen.
  virtual int32_t SetFilterIndex(int32_t index) = 0;
  virtual int32_t GetFilterIndex() = 0;

 protected:
  ~MSaveFileDialog() = default;
};

// Message boxes: the text always goes to stderr; a window shows it as well when there is a
// display and VK2_NONINTERACTIVE is unset.
enum MessageBoxButtons : int32_t {
  kMessageBoxOk = 0,
  kMessageBoxOkCancel = 1,
  kMessageBoxYesNo = 4,
};
enum MessageBoxAnswer : int32_t {
  kAnswerOk = 1,
  kAnswerCancel = 2,
  kAnswerYes = 6,
  kAnswerNo = 7,
};

class MMessageBox : public MUnknown {
 public:
  // 3: shows the box and waits; the button pressed, or the first button's answer when no
  // window could be shown.
  virtual int32_t Show(const char16_t* text, const char16_t* caption, int32_t buttons) = 0;

 protected:
  ~MMessageBox() = default;
};

}  // namespace vk2

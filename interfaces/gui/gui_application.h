// The user interface module's two faces that the launcher drives: the application object
// (Launch, Run, Shutdown) and the GUI main object, where every command line, hand-over, request
// and forwarded window message ends.
#pragma once

#include <cstdint>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

// Class kGuiApplicationClass, interface kIID_MGuiApplication.
class MGuiApplication : public MUnknown {
 public:
  // 3: starts the user interface with the whole command line (token 0 is the program path).
  // `parent` 0 opens a top-level main window; with a parent, `embedding` names how to embed.
  // 0 on success, -1 on failure (already launched included).
  virtual int32_t Launch(const TArray<TString>* tokens, uintptr_t parent,
                         const char16_t* embedding) = 0;
  // 4: the message loop; answers the GUI application's result, -1 when not launched.
  virtual int32_t Run() = 0;
  // 5: releases the module's services in their fixed order; always -1.
  virtual int32_t Shutdown() = 0;

 protected:
  ~MGuiApplication() = default;
};

// A listener of the GUI main object: one slot, called as (128, 0, 0) after the installed
// interfaces changed.
class MGuiMainListener {
 public:
  virtual void OnGuiMainEvent(int32_t code, uintptr_t a, uintptr_t b) = 0;

 protected:
  ~MGuiMainListener() = default;
};

// Add-files flags (GetAddFilesOptions, QueueFiles): only these two bits carry a meaning.
inline constexpr uint32_t kAddFilesAppend = 0x1;
inline constexpr uint32_t kAddFilesPlayImmediately = 0x2;

// Class kGuiApplicationClass, interface kIID_MGuiMain: the one GUI main object of the module.
class MGuiMain : public MUnknown {
 public:
  // 3: fills `*flags` from the "velkora/player" preferences; returns `flags`.
  virtual uint32_t* GetAddFilesOptions(uint32_t* flags) = 0;
  // 4: adds (`add` nonzero) or removes a listener; -9 for null or a listener not present.
  virtual int32_t AddRemoveListener(MGuiMainListener* listener, int32_t add) = 0;
  // 5: queues one add-files job for the worker; 0 at once for an empty list.
  virtual int32_t QueueFiles(const char16_t* playlistName, const TArray<TString>* files,
                             uint32_t flags, int32_t nameInList) = 0;
  // 6: runs one command line from `firstIndex` on; true when something took effect.
  virtual int32_t ExecuteCommand(const TArray<TString>* tokens, int32_t firstIndex) = 0;
  // 7: the application's executable folder.
  virtual int32_t GetExecutableFolder(TString* folder) = 0;
  // 8: opens a window of any package through the window manager: (out window, package path,
  // document name, window name, options, further options); returns `window`.
  virtual MUnknown** OpenInterfaceWindow(MUnknown** window, const char16_t* packagePath,
                                         const char16_t* documentName, const char16_t* windowName,
                                         uint32_t options, uintptr_t moreOptions) = 0;
  // 9: a window message forwarded by the launcher; `*handled` tells whether the answer counts.
  virtual intptr_t HandleWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                                       int32_t* handled) = 0;
  // 10: adds (`add` nonzero) or removes a script object as a child of `velkora`.
  virtual int32_t AddRemoveChild(MUnknown* object, int32_t add) = 0;
  // 11: removes every script child, last first.
  virtual int32_t RemoveAllChildren() = 0;

 protected:
  ~MGuiMain() = default;
};

}  // namespace vk2

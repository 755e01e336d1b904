// What the GUI main object asks of the application around it: the executable folder, the
// script engine, interface packages, visuals, the open-files dialog and the interface windows.
// Each may be missing while the application starts or shuts down.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/script/script_engine.h"

namespace vk2::gui {

class GuiMainHost {
 public:
  virtual TString ExecutableFolder() = 0;
  // Null without a script engine.
  virtual MScriptEngine* ScriptEngine() = 0;
  virtual int32_t InstallPackage(const TString& path) = 0;
  // Hands a visual plug-in file to the visual host.
  virtual int32_t LoadVisual(const TString& path) = 0;
  // kErrNoService while no visual control object exists.
  virtual int32_t StepVisual(bool previous) = 0;
  virtual int32_t OpenFilesDialog() = 0;
  // Sends every open interface window the minimize command.
  virtual int32_t MinimizeAllWindows() = 0;
  // Nonzero when the shell accepted the target.
  virtual int32_t ShellOpen(const TString& target) = 0;
  // Window `windowName` of the document in a package, with one reference; null when it could
  // not be opened (or no window manager exists).
  virtual MWindowElement* OpenInterfaceWindow(const TString& packagePath,
                                              const TString& documentName,
                                              const TString& windowName) {
    (void)packagePath;
    (void)documentName;
    (void)windowName;
    return nullptr;
  }

 protected:
  ~GuiMainHost() = default;
};

}  // namespace vk2::gui

// The window manager: the open interface windows, the start and end of the visual interface
// (the resource archive and its mood and global-init packages), and the end of the application
// when the last window closes.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/markup/interface_definition.h"
#include "interfaces/markup/interface_loader.h"
#include "interfaces/runtime/resource_file.h"

namespace vk2 {
class MWindowElement;
}

namespace vk2::gui {

// Window commands this module sends.
inline constexpr uint32_t kWindowCommandClose = 128;
inline constexpr uint32_t kWindowCommandMinimize = 0x540;

inline constexpr char16_t kMoodInterfaceName[] = u"ridurodoror/default_velkora2_mood/1.0";
inline constexpr char16_t kGlobalInitInterfaceName[] =
    u"ridurodoror/default_velkora2_globalinit/1.0";

class WindowManager {
 public:
  struct Hooks {
    std::function<void(int32_t level, const TString& text)> log;
    std::function<void(const TString& script)> runScript;
    std::function<void()> quit;  // the last window closed
  };
  WindowManager(TString executableFolder, Hooks hooks);
  ~WindowManager();
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;

  // Opens the resource archive and finds the mood and global-init interfaces; true when the
  // mood interface was found.
  bool VelkoraAppInit();
  // Runs the global-init interface's deinit script, closes every window, lets go of the
  // interfaces.
  void VelkoraAppDeinit();
  // Opens "main" of the current interface.
  bool OpenMainWindow(uintptr_t parent);

  void AddWindow(MWindowElement* window);
  // Closing the last window ends the application.
  void RemoveWindow(MWindowElement* window);
  void CloseAllWindows();
  std::vector<RefPtr<MWindowElement>> GetOpenWindows();
  // The open windows, each with a reference for the caller.
  void CopyOpenWindows(TArray<MWindowElement*>* out);
  void SendToAll(uint32_t command, uintptr_t data);

  int32_t AnimationDuration() const { return animationDuration_; }

 private:
  void RunInterfaceScript(MInterfaceDefinition* definition, const char16_t* name);

  TString folder_;
  Hooks hooks_;
  std::recursive_mutex windowsMutex_;
  std::vector<RefPtr<MWindowElement>> windows_;
  std::recursive_mutex interfaceMutex_;
  RefPtr<MResourceFile> resources_;
  RefPtr<MInterfaceLoader> loader_;
  RefPtr<MInterfaceDefinition> mood_;
  RefPtr<MInterfaceDefinition> globalInit_;
  int32_t animationDuration_ = 1000;
};

}  // namespace vk2::gui

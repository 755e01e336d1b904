// The window manager: the open interface windows, the start and end of the visual interface
// (the resource archive and its mood and global-init packages), the opening of windows by name
// from the current interface package, and the end of the application when the last window
// closes.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "gui/packages/interface_cache.h"
#include "gui/packages/interface_enumerator.h"
#include "interfaces/gui/app_state.h"
#include "interfaces/markup/interface_definition.h"
#include "interfaces/markup/interface_loader.h"
#include "interfaces/runtime/preference_store.h"
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
// Named values of the windows the manager opens.
inline constexpr char16_t kAppWindowProperty[] = u"vis_app_window";
inline constexpr char16_t kMmlInterfaceProperty[] = u"vis_MML_iface";
inline constexpr char16_t kAppStateProperty[] = u"_app_state_";
inline constexpr char16_t kAnimationProperty[] = u"AnimationDuration";
// Where a window's state record keeps its rectangle ("left,top,width,height").
inline constexpr Guid kWindowPositionKey = MakeGuid("8C1F4E0B-2D7A-4B35-9E61-3A0F5C7D2B94");

class WindowManager {
 public:
  struct Hooks {
    std::function<void(int32_t level, const TString& text)> log;
    std::function<void(const TString& script)> runScript;
    std::function<void()> quit;  // the last window closed
    // The default font and current language documents are read with.
    std::function<LoadContext()> loadContext;
    // The section "velkora/gui/brint" (null: the runtime's).
    std::function<RefPtr<MPreferenceStore>()> brintPreferences;
  };
  WindowManager(TString executableFolder, Hooks hooks);
  ~WindowManager();
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;

  // The installed interfaces and their shared documents; both outlive the windows.
  void SetInterfaces(InterfaceEnumerator* enumerator, InterfaceCache* cache);

  // Opens the resource archive and finds the mood and global-init interfaces; true when the
  // mood interface was found.
  bool VelkoraAppInit();
  // Runs the global-init interface's deinit script, closes every window, lets go of the
  // interfaces.
  void VelkoraAppDeinit();

  // Opens "main" of the default interface, else of the first installed interface that has
  // one, which then becomes the default.
  bool OpenMainWindow(MWindowElement* parent);
  // Makes the interface current and remembers it as the default.
  void SetDefaultInterface(const InterfaceRecord& record);
  bool CurrentInterface(InterfaceRecord* out);
  // A named window of the current interface; `*out` (may be null) gets one reference.
  bool OpenWindow(const TString& name, MWindowElement* parent, RefPtr<MWindowElement>* out);
  // A named window of another interface; no lock, no "vis_app_window" name.
  bool OpenWindowOf(const InterfaceRecord& record, const TString& name, MWindowElement* parent,
                    RefPtr<MWindowElement>* out);
  // A remote window the interface lists under that name, as OpenWindowOf.
  bool OpenRemoteWindow(const InterfaceRecord& record, const TString& name, MWindowElement* parent,
                        RefPtr<MWindowElement>* out);
  // A window of any package: its document `documentName`, window `windowName`.
  bool OpenInterfaceWindow(RefPtr<MWindowElement>* out, const TString& packagePath,
                           const TString& documentName, const TString& windowName,
                           MWindowElement* parent);
  // The window `name` of the interface whose type is `definitionId` (none: the class the
  // interface's document gives `typeName`), made as `classId` (none: `definitionId`).
  bool CreateWindowOf(const InterfaceRecord& record, std::optional<Guid> definitionId,
                      std::optional<Guid> classId, const TString& name, const TString& typeName,
                      RefPtr<MWindowElement>* out);
  // After the current interface changed: every named window opens again from it, where it
  // was.
  void ReopenWindows();

  // `definition`: an interface document use the window holds, given back when it goes. The
  // window leaves the list when it is destroyed (a markup window tells its observer part).
  void AddWindow(MWindowElement* window, MInterfaceDefinition* definition = nullptr);
  // Closing the last window ends the application.
  void RemoveWindow(MWindowElement* window);
  void CloseAllWindows();
  std::vector<RefPtr<MWindowElement>> GetOpenWindows();
  // The open windows, each with a reference for the caller.
  void CopyOpenWindows(TArray<MWindowElement*>* out);
  void SendToAll(uint32_t command, uintptr_t data);

  int32_t AnimationDuration() const { return animationDuration_; }

  // The GUI layer's input settings (the knob preferences among them). Reading gives the value
  // and its type (0: unknown setting).
  bool GetInputSetting(const TString& name, int32_t* value, int32_t* type);
  bool SetInputSetting(const TString& name, int32_t value, int32_t type);
  // Moves a window to a point of its parent (of the screen for a top-level window).
  static void MoveWindowTo(MWindowElement* window, const PointI& point);
  // A child element of class `classId` named `name` of the current interface's document,
  // under `parent`; false when the document or the element cannot be had.
  bool CreateChildElement(RefPtr<MWindowElement>* out, const TString& name, const Guid& classId,
                          MWindowElement* parent);
  // Places `element`, made earlier from the current interface's definition `name` of class
  // `classId`, again under `parent` with `placement`, the style word and the placement mode;
  // `*out` gets the element when that succeeds.
  bool PlaceChildElement(RefPtr<MWindowElement>* out, const TString& name, const Guid& classId,
                         MWindowElement* parent, MWindowElement* element,
                         const AnchoredRect& placement, uint32_t style, int32_t mode);

 private:
  struct OpenEntry {
    RefPtr<MWindowElement> window;
    MInterfaceDefinition* definition = nullptr;  // one cache use, or null
    RefPtr<MUnknown> keep;                       // a loader the window's document lives in
  };
  // Lets windows that outlive the manager find it gone.
  struct Link {
    std::mutex mutex;
    WindowManager* manager = nullptr;
  };

  // The window listed as `name` in one of the record's tables.
  bool OpenListedWindow(const InterfaceRecord& record, const std::vector<WindowPair>& table,
                        const TString& name, MWindowElement* parent, RefPtr<MWindowElement>* out);
  void RunInterfaceScript(MInterfaceDefinition* definition, const char16_t* name);
  void RegisterKnobSettings();
  RefPtr<MPreferenceStore> BrintPreferences();
  LoadContext Context();
  // Makes the window `windowName` of the document under `parent`, with the state record, and
  // adds it to the open windows. `useHeld`: `definition` is a cache use the window takes over.
  // `makeAs`: the class the window is made as (zero: its definition's type).
  bool CreateInterfaceWindow(MInterfaceDefinition* definition, bool useHeld,
                             const TString& windowName, MWindowElement* parent,
                             MAppStateStore* state, RefPtr<MUnknown> keep,
                             RefPtr<MWindowElement>* out, const Guid& makeAs = Guid{});
  // The current interface's document, one cache use for the caller to give back.
  MInterfaceDefinition* AcquireCurrentDocument();
  bool CreateFromRecord(const InterfaceRecord& record, const TString& name, MWindowElement* parent,
                        MAppStateStore* state, RefPtr<MWindowElement>* out);
  void AddEntry(OpenEntry entry);
  void Attach(MWindowElement* window);

  TString folder_;
  Hooks hooks_;
  std::shared_ptr<Link> link_;
  InterfaceEnumerator* enumerator_ = nullptr;
  InterfaceCache* cache_ = nullptr;
  std::recursive_mutex windowsMutex_;
  std::vector<OpenEntry> windows_;
  int32_t quitHeld_ = 0;  // while windows close to open again, or at the end
  std::recursive_mutex interfaceMutex_;
  bool hasCurrent_ = false;
  InterfaceRecord current_;
  RefPtr<MResourceFile> resources_;
  RefPtr<MInterfaceLoader> loader_;
  RefPtr<MInterfaceDefinition> mood_;
  RefPtr<MInterfaceDefinition> globalInit_;
  int32_t animationDuration_ = 1000;
};

}  // namespace vk2::gui

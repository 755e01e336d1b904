// What the `velkora` script functions reach: the GUI main object, the player bridge, the
// interface list, the window manager's operations, the application's languages, and the
// runtime's services. The application fills them; tests replace single members.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"
#include "foundation/util/guid.h"
#include "foundation/util/ref_ptr.h"
#include "gui/main/core_access.h"
#include "gui/packages/interface_enumerator.h"
#include "interfaces/core/core.h"
#include "interfaces/core/playlist_loader.h"
#include "interfaces/graphics/image.h"
#include "interfaces/gui/file_dialogs.h"
#include "interfaces/gui/gui_application.h"
#include "interfaces/gui/input_settings.h"
#include "interfaces/gui/listener_list.h"
#include "interfaces/runtime/console.h"
#include "interfaces/runtime/language_service.h"
#include "interfaces/runtime/preference_store.h"

namespace vk2::gui {

// A window to create from an interface: by definition identifier, or by the type name the
// interface's definition maps to one; the class identifier defaults to the definition's.
struct WindowRequest {
  InterfaceRecord record;
  std::optional<Guid> definition;
  std::optional<Guid> classId;
  TString name;
  TString typeName;
};

struct GuiScriptServices {
  MGuiMain* main = nullptr;
  MListenerList* status = nullptr;  // the GUI main object's status listeners
  CoreAccess* players = nullptr;    // the player bridge
  std::function<MCore*()> core;
  std::function<InterfaceEnumerator*()> interfaces;

  // The window manager.
  std::function<bool(const InterfaceRecord& record)> setDefaultInterface;
  std::function<void()> reloadWindows;
  std::function<bool(const TString& name)> openWindow;
  std::function<bool(const InterfaceRecord& record, const TString& name)> openRemoteWindow;
  std::function<bool(const WindowRequest& request)> createWindow;
  // Closes every window and ends the message loop.
  std::function<void()> exit;

  // The application: the current languages (stored and applied), the GUI text domain.
  std::function<bool(const TArray<TString>& languages)> setLanguages;
  std::function<RefPtr<MTextDomain>()> textDomain;

  // The runtime (RuntimeGuiScriptServices fills these).
  std::function<RefPtr<MConsole>()> console;
  std::function<RefPtr<MLanguageService>()> languages;
  std::function<RefPtr<MInputSettings>()> inputSettings;
  std::function<RefPtr<MRasterizer>()> rasterizer;
  std::function<RefPtr<MOpenFileDialog>()> openDialog;
  std::function<RefPtr<MSaveFileDialog>()> saveDialog;
  // A preference store, its section not yet opened.
  std::function<RefPtr<MPreferenceStore>()> preferences;
  // Every playlist loader with each of its file types.
  std::function<std::vector<PlaylistLoaderEntry>()> playlistLoaders;
};

// The runtime members filled; the rest left empty.
GuiScriptServices RuntimeGuiScriptServices();

}  // namespace vk2::gui

// The GUI main object: the user interface's command centre and its script face "velkora". It
// runs command lines, answers the window messages the launcher forwards, keeps the status
// listeners and the listeners told of interface changes, and owns the add-files worker.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "core/script/script_native_object.h"
#include "gui/commands/command_targets.h"
#include "gui/main/add_files_worker.h"
#include "gui/main/core_access.h"
#include "gui/main/gui_main_host.h"
#include "interfaces/gui/gui_application.h"
#include "interfaces/gui/listener_list.h"

namespace vk2::gui {

// Window messages the launcher forwards.
enum GuiWindowMessage : uint32_t {
  kMessageMinimizeAll = 0x8228,
  kMessagePlayerState = 0x9002,
  kMessagePlaylistCount = 0x9004,
  kMessagePlaylistPosition = 0x9005,
};
// What kMessagePlayerState answers.
enum PlayerStateAnswer : intptr_t { kAnswerPlaying = 0, kAnswerPaused = 1, kAnswerStopped = 2 };

// The code NotifyListeners sends when the installed interfaces changed.
inline constexpr int32_t kInterfacesChanged = 128;

bool IsPlayerPaused(MPlayer* player);

class GuiMainObject final : public ScriptNativeObject<GuiMainObject, Face<MGuiMain, kIID_MGuiMain>>,
                            private CommandTargets,
                            private AddFilesServices {
 public:
  // `host` and `core` outlive the object.
  static RefPtr<GuiMainObject> Create(GuiMainHost* host, CoreAccess* core);

  uint32_t* GetAddFilesOptions(uint32_t* flags) override;
  int32_t AddRemoveListener(MGuiMainListener* listener, int32_t add) override;
  int32_t QueueFiles(const char16_t* playlistName, const TArray<TString>* files, uint32_t flags,
                     int32_t nameInList) override;
  int32_t ExecuteCommand(const TArray<TString>* tokens, int32_t firstIndex) override;
  int32_t GetExecutableFolder(TString* folder) override;
  MUnknown** OpenInterfaceWindow(MUnknown** window, const char16_t* packagePath,
                                 const char16_t* documentName, const char16_t* windowName,
                                 uint32_t options, uintptr_t moreOptions) override;
  intptr_t HandleWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                               int32_t* handled) override;
  int32_t AddRemoveChild(MUnknown* object, int32_t add) override;
  int32_t RemoveAllChildren() override;

  // Tells every listener `code`, newest first.
  void NotifyListeners(int32_t code);
  // The status listeners (the aggregated listener list).
  MListenerList* Status() const { return status_; }
  // Registers with the script engine as the global "velkora", and withdraws again.
  bool Publish();
  void Unpublish();

 private:
  GuiMainObject(GuiMainHost* host, CoreAccess* core);
  ~GuiMainObject() override;

  // CommandTargets
  RefPtr<MPlayer> DefaultPlayer() override;
  RefPtr<MPlaylist> DefaultPlaylist() override;
  uint32_t AddFilesOptions() override;
  void QueueFiles(MPlaylist* playlist, const TArray<TString>& files, uint32_t flags) override;
  int32_t OpenFilesDialog() override;
  int32_t InstallPackage(const TString& path) override;
  int32_t StepVisual(bool previous) override;
  int32_t ShellOpen(const TString& target) override;

  // AddFilesServices
  int32_t CreateTemporaryPlaylist(const TString& playlistName, TString* tempName) override;
  void RemoveTemporaryPlaylist(const TString& tempName) override;
  int32_t LoadEntry(const TString& playlistName, const TString& entry) override;
  int32_t LoadVisual(const TString& path) override;
  int32_t CopyToTarget(const TString& tempName, const TString& target, bool append) override;
  int32_t Play(const TString& playerName) override;
  TString ErrorMessage(int32_t code) override;

  GuiMainHost* host_;
  CoreAccess* core_;
  MListenerList* status_ = nullptr;  // held by the part list
  std::recursive_mutex listenersMutex_;
  std::vector<MGuiMainListener*> listeners_;
  std::unique_ptr<AddFilesWorker> worker_;
};

}  // namespace vk2::gui

// Test module "vk2test_launchapp": a stand-in for the user interface's application class. Its
// application object runs the GUI layer's real loop (headless backend) and its GUI main object
// keeps a playlist of names; every call is written as one line to $VK2_TEST_LAUNCH_LOG, so a
// test sees what the launcher did, in which order and on which thread.
//
// Switches for the tests: VK2_TEST_LAUNCH_FAIL makes Launch fail; VK2_TEST_LAUNCH_DELAY_MS
// slows Launch down; at Shutdown the playlist is written to $VK2_TEST_LAUNCH_PLAYLIST.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "component/module/module_glue.h"
#include "component/module/runtime_loader.h"
#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "interfaces/gui/app.h"
#include "interfaces/gui/gui_application.h"
#include "interfaces/ids.h"

namespace vk2::test {
namespace {

void Log(const std::string& line) {
  const char* path = std::getenv("VK2_TEST_LAUNCH_LOG");
  if (!path) return;
  const int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  const std::string text = line + "\n";
  (void)!::write(fd, text.data(), text.size());
  ::close(fd);
}

std::string Join(const TArray<TString>* tokens, int32_t first) {
  std::string out;
  for (uint32_t i = static_cast<uint32_t>(first < 0 ? 0 : first); tokens && i < tokens->Count();
       ++i) {
    out += "[";
    out += Utf8((*tokens)[i]).c_str();
    out += "]";
  }
  return out;
}

RefPtr<MOmbrixApp> GuiLayer() {
  return CreateRuntimeObject<MOmbrixApp>(kBrintClass, kIID_MOmbrixApp);
}

class GuiMain final : public ComObject<GuiMain, Face<MGuiMain, kIID_MGuiMain>> {
 public:
  uint32_t* GetAddFilesOptions(uint32_t* flags) override { return flags; }
  int32_t AddRemoveListener(MGuiMainListener*, int32_t) override { return kErrMissingArg; }
  int32_t QueueFiles(const char16_t*, const TArray<TString>*, uint32_t, int32_t) override {
    return 0;
  }
  int32_t ExecuteCommand(const TArray<TString>* tokens, int32_t firstIndex) override {
    RefPtr<MOmbrixApp> gui = GuiLayer();
    const bool onGuiThread = gui && gui->IsGuiThread();
    Log("execute first=" + std::to_string(firstIndex) + " gui=" + (onGuiThread ? "1" : "0") + " " +
        Join(tokens, firstIndex));
    std::lock_guard lock(mutex_);
    for (uint32_t i = static_cast<uint32_t>(firstIndex); tokens && i < tokens->Count(); ++i) {
      const TString& token = (*tokens)[i];
      if (token == u"-clearplaylist") {
        playlist_.clear();
      } else if (token.Length() > 0 && token[0] != u'-') {
        playlist_.emplace_back(Utf8(token).c_str());
      }
    }
    return 1;
  }
  int32_t GetExecutableFolder(TString*) override { return kErrNotSupported; }
  MUnknown** OpenInterfaceWindow(MUnknown** window, const char16_t*, const char16_t*,
                                 const char16_t*, uint32_t, uintptr_t) override {
    return window;
  }
  intptr_t HandleWindowMessage(uint32_t message, uintptr_t, intptr_t, int32_t* handled) override {
    Log("message " + std::to_string(message));
    *handled = 1;
    if (message == 0x9004) {
      std::lock_guard lock(mutex_);
      return static_cast<intptr_t>(playlist_.size());
    }
    if (message == 0x9002) return 2;  // stopped
    *handled = 0;
    return 99;  // must not reach the sender: unhandled messages get the default answer
  }
  int32_t AddRemoveChild(MUnknown*, int32_t) override { return 0; }
  int32_t RemoveAllChildren() override { return 0; }

  std::vector<std::string> Playlist() {
    std::lock_guard lock(mutex_);
    return playlist_;
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> playlist_;
};

// The one GUI main object, while the application is launched.
std::mutex g_mutex;
RefPtr<GuiMain> g_guiMain;

class App final : public ComObject<App, Face<MGuiApplication, kIID_MGuiApplication>> {
 public:
  int32_t Launch(const TArray<TString>* tokens, uintptr_t parent,
                 const char16_t* embedding) override {
    Log("launch parent=" + std::to_string(parent) + " embedding=" + (embedding ? "set" : "none") +
        " self=" + (tokens && tokens->Count() > 0 ? Utf8((*tokens)[0]).c_str() : "") + " " +
        Join(tokens, 1));
    if (const char* delay = std::getenv("VK2_TEST_LAUNCH_DELAY_MS"))
      std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(delay)));
    if (std::getenv("VK2_TEST_LAUNCH_FAIL") || gui_) return -1;
    gui_ = GuiLayer();
    if (!gui_ || gui_->Launch(0, nullptr, nullptr, 0) != 0) return -1;
    {
      std::lock_guard lock(g_mutex);
      g_guiMain = RefPtr<GuiMain>(new GuiMain);
    }
    // The first instance's own command line, as the start-up runs it.
    RefPtr<GuiMain> main = g_guiMain;
    main->ExecuteCommand(tokens, 1);
    return 0;
  }
  int32_t Run() override {
    if (!gui_) return -1;
    Log("run");
    const int32_t result = gui_->Run();
    Log("run returned");
    return result;
  }
  int32_t Shutdown() override {
    if (!gui_) return -1;
    Log("shutdown");
    RefPtr<GuiMain> main;
    {
      std::lock_guard lock(g_mutex);
      main = std::move(g_guiMain);
    }
    if (const char* path = std::getenv("VK2_TEST_LAUNCH_PLAYLIST")) {
      std::string text;
      for (const std::string& item : main->Playlist())
        text += item + "\n";
      const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
      if (fd >= 0) {
        (void)!::write(fd, text.data(), text.size());
        ::close(fd);
      }
    }
    gui_->Shutdown();
    gui_ = nullptr;
    return -1;
  }

 private:
  ~App() override { Log("release"); }
  RefPtr<MOmbrixApp> gui_;
};

int32_t CreateApplication(const Guid& iid, void** out, MUnknown* outer) {
  *out = nullptr;
  if (outer) return kErrNoInterface;
  if (iid == kIID_MGuiMain) {
    std::lock_guard lock(g_mutex);
    if (!g_guiMain) return kErrNoInterface;
    return g_guiMain->QueryInterface(iid, out);
  }
  RefPtr<App> app(new (std::nothrow) App);
  if (!app) return kErrOutOfMemory;
  return app->QueryInterface(iid, out);
}

void ReleaseModuleObjects() {
  std::lock_guard lock(g_mutex);
  g_guiMain = nullptr;
}

const ModuleClass kClasses[] = {{kGuiApplicationClass, u"GuiApplication", &CreateApplication}};
const ModuleDefinition kModule{kClasses, {}, nullptr, &ReleaseModuleObjects};

}  // namespace
}  // namespace vk2::test

VK2_MODULE_ENTRY_POINTS(vk2::test::kModule)

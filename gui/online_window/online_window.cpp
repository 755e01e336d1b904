#include "gui/online_window/online_window.h"

#include <ctime>

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/network.h"
#include "interfaces/runtime/preference_store.h"
#include "markup/window/window_font.h"

namespace vk2::gui {
namespace {

constexpr uint64_t kAllChannels = 0xF;
constexpr char16_t kUnavailableText[] = u"Online content is not available.";

}  // namespace

// Runs on the worker: hands each package window to the loop, where the window (if it is still
// there) opens it inside itself.
class OnlineWindow::Host final : public OnlineContentHost {
 public:
  explicit Host(OnlineWindow* window) : window_(window) {}
  bool ShowPackageWindow(const PackageWindowRef& window) override {
    auto* request = new ShowRequest{window_->shared_, window};
    if (window_->PostTask(&RunRequest, request) != 0) {
      delete request;
      return false;
    }
    return true;
  }
  void ShowUnavailable() override {
    window_->unavailable_.store(true);
    window_->Invalidate(nullptr);
  }

 private:
  struct ShowRequest {
    std::shared_ptr<Shared> shared;
    PackageWindowRef package;
  };
  static void RunRequest(void* context) {
    std::unique_ptr<ShowRequest> request(static_cast<ShowRequest*>(context));
    std::lock_guard<std::mutex> hold(request->shared->lock);
    if (request->shared->window) request->shared->window->ShowOnLoop(request->package);
  }

  OnlineWindow* window_;
};

OnlineWindow::OnlineWindow(MUnknown* base, MGuiMain* guiMain)
    : ModuleWindow(base), guiMain_(guiMain) {
  shared_->window = this;
}

OnlineWindow::~OnlineWindow() {
  StopWorker();
}

void OnlineWindow::ShowOnLoop(const PackageWindowRef& package) {
  if (!guiMain_) return;
  MUnknown* opened = nullptr;
  guiMain_->OpenInterfaceWindow(&opened, package.path.c_str(), package.document.c_str(),
                                package.window.c_str(), 1,
                                reinterpret_cast<uintptr_t>(static_cast<MWindowElement*>(this)));
  if (opened) {
    opened->Release();
  } else {
    unavailable_.store(true);
    Invalidate(nullptr);
  }
}

void OnlineWindow::StartWorker() {
  if (worker_.IsStarted()) return;
  worker_.Start([this] {
    RefPtr<MPreferenceStore> store =
        CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
    RefPtr<MNetwork> network = CreateRuntimeObject<MNetwork>(kNetworkClass, kIID_MNetwork);
    TString folder;
    if (guiMain_) guiMain_->GetExecutableFolder(&folder);
    Host host(this);
    OnlinePass pass;
    pass.store = store.Get();
    pass.network = network.Get();
    pass.folder = folder;
    pass.url = ReadOnlineUrl(store.Get());
    pass.now = static_cast<int64_t>(std::time(nullptr));
    pass.host = &host;
    pass.cancel = &cancel_;
    result_ = RunOnlinePass(pass);
    done_.Set();
  });
}

void OnlineWindow::StopWorker() {
  {
    std::lock_guard<std::mutex> hold(shared_->lock);
    shared_->window = nullptr;
  }
  cancel_.Set();
  if (worker_.IsStarted() && !worker_.IsCurrent()) worker_.Join();
}

bool OnlineWindow::WaitForWorker(uint32_t timeoutMs, OnlinePassResult* result) {
  if (!done_.Wait(timeoutMs)) return false;
  if (result) *result = result_;
  return true;
}

int32_t OnlineWindow::OnPaint(MCanvas* canvas, const PaintRecord* record) {
  const int32_t below = ModuleWindowCore::OnPaint(canvas, record);
  MFont* font = markup::InheritedWindowFont(this);
  SizeI size;
  if (!unavailable_.load() || !canvas || !font || GetValue(kValueSize, &size, sizeof size) != 0)
    return below;
  font->DrawText(canvas, kUnavailableText, -1, RectI{0, 0, size.width, size.height},
                 kTextHCenter | kTextVCenter, kAllChannels, 0xFFFFFFFF, 256);
  return 1;
}

int32_t OnlineWindow::OnNotify(uint32_t code, uintptr_t argument) {
  if (code == kNotifyCreated) {
    StartWorker();
  } else if (code == kNotifyDestroyed) {
    StopWorker();
  }
  return ModuleWindowCore::OnNotify(code, argument);
}

}  // namespace vk2::gui

#include "gui/windows/window_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/util/result.h"
#include "interfaces/gui/window_element.h"

namespace vk2::gui {
namespace {

// A window that closes when it is asked to: it leaves the manager's list, as a window does.
class ClosingWindow final : public MWindowElement {
 public:
  ClosingWindow(WindowManager* manager, std::vector<std::string>* diary, std::string name)
      : manager_(manager), diary_(diary), name_(std::move(name)) {}

  int32_t QueryInterface(const Guid&, void** out, uint32_t, uint32_t) override {
    if (out) *out = nullptr;
    return kErrNoInterface;
  }
  uint32_t AddRef() override { return ++count_; }
  uint32_t Release() override {
    uint32_t left = --count_;
    if (left == 0) delete this;
    return left;
  }
  int32_t InnerQueryInterface(const Guid& iid, void** out, uint32_t a, uint32_t r) override {
    return QueryInterface(iid, out, a, r);
  }
  uint32_t InnerAddRef() override { return AddRef(); }
  uint32_t InnerRelease() override { return Release(); }
  int32_t PostCommand(uint32_t code, int32_t, int32_t, uintptr_t data, MWindowElement*, uint32_t,
                      uint32_t) override {
    diary_->push_back(name_ + " " + std::to_string(code) + "/" + std::to_string(data));
    if (code == kWindowCommandClose) manager_->RemoveWindow(this);
    return 0;
  }
  int32_t CancelCommands(uint32_t, int32_t, int32_t, uintptr_t, uint32_t, MWindowElement*,
                         uint32_t) override {
    return 0;
  }
  int32_t AttachChild(MWindowElement*, int32_t) override { return 0; }
  int32_t DetachChild(MWindowElement*) override { return 0; }
  int32_t Paint(MCanvas*, const PaintRecord*) override { return 0; }
  int32_t HitCode(const PointI*) override { return 0; }
  int32_t Invalidate(const RectI*) override { return 0; }
  int32_t MapPoint(PointI*, MWindowElement*) override { return 0; }
  int32_t Region(MMaskImage*, int32_t, int32_t) override { return 0; }
  int32_t SetFocus(int32_t) override { return 0; }
  int32_t GetProperty(const char16_t*, PropertyValue*) override { return 0; }
  int32_t GetValue(uint32_t, void*, uint32_t) override { return 0; }
  int32_t Notify(uint32_t, uintptr_t) override { return 0; }
  int32_t ChildNotify(uint32_t, MWindowElement*, uintptr_t) override { return 0; }
  int32_t SetValue(uint32_t, const void*, uint32_t) override { return 0; }
  int32_t Query(uint32_t, uintptr_t, uintptr_t, uintptr_t) override { return 0; }
  int32_t CapturePointer(int32_t) override { return 0; }
  int32_t ChildCount() override { return 0; }
  MWindowElement* ChildAt(int32_t) override { return nullptr; }
  int32_t HoldUpdates(int32_t) override { return 0; }
  int32_t AdoptCreator(MWindowElement*) override { return 0; }
  int32_t HasOwnContent() override { return 0; }
  int32_t GetHost(MHostWindow**) override { return 0; }
  int32_t DestroyWindow() override { return 0; }
  int32_t AddDockPoint(MDockPoint*, int32_t) override { return 0; }
  int32_t ClearDockPoints() override { return 0; }
  int32_t RegionChanged() override { return 0; }
  MWindowElement* Sibling(int32_t) override { return nullptr; }
  int32_t PostTask(void (*)(void*), void*) override { return 0; }
  int32_t SetProperty(const char16_t*, int32_t, const PropertyValue*) override { return 0; }
  int32_t RemoveProperty(const char16_t*) override { return 0; }

 private:
  ~ClosingWindow() = default;
  WindowManager* manager_;
  std::vector<std::string>* diary_;
  std::string name_;
  uint32_t count_ = 0;
};

struct ManagerFixture {
  std::vector<std::string> diary;
  int quits = 0;
  WindowManager manager{u"/nowhere", WindowManager::Hooks{
                                         [](int32_t, const TString&) {},
                                         [](const TString&) {},
                                         [this] { ++quits; },
                                         {},
                                         {},
                                     }};
  RefPtr<MWindowElement> Open(const std::string& name) {
    RefPtr<MWindowElement> window(new ClosingWindow(&manager, &diary, name));
    manager.AddWindow(window.Get());
    return window;
  }
};

TEST(WindowManager, ClosingTheLastWindowEndsTheApplication) {
  ManagerFixture f;
  RefPtr<MWindowElement> main = f.Open("main");
  RefPtr<MWindowElement> playlist = f.Open("playlist");
  playlist->PostCommand(kWindowCommandClose, 0, 0, 0, nullptr, 0, 0);
  EXPECT_EQ(f.quits, 0);                   // one of two closed
  f.manager.RemoveWindow(playlist.Get());  // removed once only
  EXPECT_EQ(f.quits, 0);
  main->PostCommand(kWindowCommandClose, 0, 0, 0, nullptr, 0, 0);
  EXPECT_EQ(f.quits, 1);
  EXPECT_TRUE(f.manager.GetOpenWindows().empty());
}

TEST(WindowManager, WindowsAreMinimizedAndClosedNewestFirst) {
  ManagerFixture f;
  f.Open("a");
  f.Open("b");
  f.manager.SendToAll(kWindowCommandMinimize, 1);
  TArray<MWindowElement*> open;
  f.manager.CopyOpenWindows(&open);
  EXPECT_EQ(open.Count(), 2u);
  for (MWindowElement* w : open)
    w->Release();
  f.manager.VelkoraAppDeinit();
  EXPECT_EQ(f.diary, (std::vector<std::string>{"a 1344/1", "b 1344/1", "b 128/0", "a 128/0"}));
  EXPECT_EQ(f.quits, 1);
  EXPECT_TRUE(f.manager.GetOpenWindows().empty());
}

TEST(WindowManager, AMissingResourceFileFailsTheInterfaceStart) {
  std::vector<std::string> log;
  WindowManager manager(u"/nowhere",
                        WindowManager::Hooks{
                            [&](int32_t level, const TString& text) {
                              log.push_back(std::to_string(level) + " " + Utf8(text).c_str());
                            },
                            [](const TString&) {},
                            [] {},
                            {},
                            {},
                        });
  EXPECT_FALSE(manager.VelkoraAppInit());
  EXPECT_EQ(log, std::vector<std::string>{"7 Fatal error: Resource file missing.\n"});
  EXPECT_EQ(manager.AnimationDuration(), 1000);
}

}  // namespace
}  // namespace vk2::gui

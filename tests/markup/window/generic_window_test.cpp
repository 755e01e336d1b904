// Generic windows made from markup on the headless GUI layer: events run the markup's scripts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "component/object/com_object.h"
#include "component/object/query.h"
#include "interfaces/gui/listener_list.h"
#include "interfaces/gui/window_observer.h"
#include "interfaces/ids.h"
#include "markup/window/window_factory.h"
#include "script/runtime/script_module.h"
#include "tests/markup/window/window_fixture.h"

namespace vk2::test {
namespace {

const char* const kDocument = R"(
  <window name="main" offset="0,0,100,80" min_size="20,20">
    <property hoverhint="Main window"/>
    <script name="OnInit">inits = 1; clicked = 0; tops = 0;</script>
    <script name="OnClick">clicked = clicked + 1;</script>
    <script name="OnClick">clicked = clicked + 100;</script>
    <script name="OnRightButtonDown">rx = $params[0]["x"]; ry = $params[0]["y"];</script>
    <script name="OnMouseTopOver">tops = tops + 1;</script>
    <script name="OnDestroy">destroyed = 1;</script>
    <window name="child" offset="10,10,50,50">
      <script name="OnInit">inited = 1;</script>
    </window>
  </window>)";

// The top window's hint listener: records each hint with the number of OnMouseTopOver runs
// seen at that moment.
class HintListener final : public ComObject<HintListener, Face<MListenerList, kIID_MListenerList>> {
 public:
  explicit HintListener(MWindowElement* window) : window_(window) {}
  int32_t AddRemoveListener(MStatusListener*, int32_t) override { return 0; }
  int32_t Broadcast(const StatusRecord&) override { return 0; }
  int32_t Post(const TString& text, uint32_t level) override {
    const bool now = level == kStatusProgress;
    RefPtr<MScriptObject> tops;
    QueryBorrowed<MScriptObject>(window_, kIID_MScriptObject)
        ->FindMember(TString(u"tops"), tops.Put(), false);
    shown.push_back(Narrow(text) + (now ? " now" : "") + " after " +
                    (tops ? ScriptValueText(tops.Get()) : std::string("none")));
    return 0;
  }
  std::vector<std::string> shown;

 private:
  MWindowElement* window_;
};

class GenericWindowTest : public MarkupWindowTest {
 protected:
  void SetUp() override {
    ASSERT_NE(Load(kDocument), nullptr);
    main_ = Create(u"main");
    ASSERT_NE(main_, nullptr);
    Turn();
  }
  RefPtr<MWindowElement> main_;
};

TEST_F(GenericWindowTest, OnInitRunsOnceTheWholeTreeExists) {
  EXPECT_EQ(Member(main_.Get(), u"inits"), "1") << ConsoleText();
  // The child's OnInit ran first (parents first would also do; the tree exists either way).
  RefPtr<MScriptObject> child;
  ASSERT_TRUE(ScriptOf(main_.Get())->FindChild(TString(u"child"), child.Put()));
  EXPECT_NE(child, nullptr);
  EXPECT_EQ(main_->ChildCount(), 1);
  EXPECT_NE(markup::InterfaceOfWindow(main_.Get()), nullptr);
}

TEST_F(GenericWindowTest, ClickRunsTheFirstScriptOfThatName) {
  main_->Notify(kNotifyClick, 0);
  main_->Notify(kNotifyClick, 0);
  EXPECT_EQ(Member(main_.Get(), u"clicked"), "2");
}

TEST_F(GenericWindowTest, RightButtonDownPassesThePoint) {
  const PointI at{7, 9};
  EXPECT_EQ(main_->Query(kQueryRightDown, reinterpret_cast<uintptr_t>(&at), 0, 0), 1);
  EXPECT_EQ(Member(main_.Get(), u"rx"), "7") << ConsoleText();
  EXPECT_EQ(Member(main_.Get(), u"ry"), "9");
  // No handler for the release: nothing fired.
  EXPECT_EQ(main_->Query(kQueryRightUp, reinterpret_cast<uintptr_t>(&at), 0, 0), 0);
}

TEST_F(GenericWindowTest, SizeRequestsKeepTheMinimumSize) {
  SizeI size{10, 10};
  main_->Notify(kNotifySizeRequest, reinterpret_cast<uintptr_t>(&size));
  EXPECT_EQ(size, (SizeI{20, 20}));
  size = SizeI{500, 30};
  main_->Notify(kNotifySizeRequest, reinterpret_cast<uintptr_t>(&size));
  EXPECT_EQ(size, (SizeI{500, 30}));  // no maximum given
}

TEST_F(GenericWindowTest, HoverHintReachesTheTopWindowBeforeOnMouseTopOver) {
  auto* base = QueryBorrowed<MBaseObject>(main_.Get(), kIID_MBaseObject);
  ASSERT_NE(base, nullptr);
  RefPtr<HintListener> listener(new HintListener(main_.Get()));
  ASSERT_EQ(base->AddPart(static_cast<MListenerList*>(listener.Get())), 0);
  main_->Notify(kNotifyPointerTop, 1);
  main_->Notify(kNotifyPointerTop, 0);
  main_->Notify(kNotifyPointerTop, 1);
  ASSERT_EQ(listener->shown.size(), 2u);
  EXPECT_EQ(listener->shown[0], "Main window now after 0");
  EXPECT_EQ(listener->shown[1], "Main window now after 1");
  EXPECT_EQ(Member(main_.Get(), u"tops"), "2");
}

TEST_F(GenericWindowTest, DestroyingRunsOnDestroyAndUnregisters) {
  TString uid;
  ScriptOf(main_.Get())->GetUid(&uid);
  RefPtr<MScriptObject> found;
  ASSERT_TRUE(ScriptModule::Engine()->FindObject(uid, found.Put()));
  found = nullptr;
  main_->DestroyWindow();
  Turn();
  EXPECT_FALSE(ScriptModule::Engine()->FindObject(uid, found.Put()));
  EXPECT_EQ(Member(main_.Get(), u"destroyed"), "1");
}

// Counts the destructions it hears of.
class DestroyCounter final
    : public ComObject<DestroyCounter, Face<MWindowObserver, kIID_MWindowObserver>> {
 public:
  void WindowDestroyed(MWindowElement* window) override {
    ++heard;
    last = window;
  }
  int heard = 0;
  MWindowElement* last = nullptr;
};

TEST_F(GenericWindowTest, AnObserverPartHearsTheWindowsDestructionOnce) {
  auto* base = QueryBorrowed<MBaseObject>(main_.Get(), kIID_MBaseObject);
  ASSERT_NE(base, nullptr);
  RefPtr<DestroyCounter> counter(new DestroyCounter());
  ASSERT_EQ(base->AddPart(static_cast<MWindowObserver*>(counter.Get())), 0);
  main_->Notify(kNotifyClick, 0);
  EXPECT_EQ(counter->heard, 0);
  main_->DestroyWindow();
  Turn();
  EXPECT_EQ(counter->heard, 1);
  EXPECT_EQ(counter->last, main_.Get());
}

TEST_F(GenericWindowTest, AnAggregatedWindowSharesItsOutersCountAndRunsItsDefinition) {
  void* p = nullptr;
  ASSERT_EQ(markup::CurrentMarkupServices().createInstance(kRuntimeRootClass, kIID_MBaseObject, &p,
                                                           nullptr),
            0);
  auto outer = RefPtr<MBaseObject>::Adopt(static_cast<MBaseObject*>(p));
  auto definition = duv_.Definition();
  auto child = definition->FindWindow(u"main")->Children()[0];
  MUnknown* inner = nullptr;
  ASSERT_EQ(definition->AggregateWidget(outer.Get(), kGenericWindowClass, child.Get(), &inner), 0);
  auto* control = QueryBorrowed<MControl>(outer, kIID_MControl);
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->GetDefinition(), static_cast<MWindowDefinition*>(child.Get()));
  const uint32_t before = outer->AddRef();
  control->AddRef();
  EXPECT_EQ(outer->Release(), before);  // the control's AddRef counted on the outer object
  control->Release();

  auto* element = QueryBorrowed<MWindowElement>(outer, kIID_MWindowElement);
  ASSERT_NE(element, nullptr);
  element->Notify(kNotifyInit, 0);
  EXPECT_EQ(Member(element, u"inited"), "1");
  // A class that is no window type.
  MUnknown* none = nullptr;
  EXPECT_NE(definition->AggregateWidget(outer.Get(), kScrollBarStyleClass, nullptr, &none), 0);
  EXPECT_EQ(none, nullptr);
  inner->Release();
}

TEST_F(MarkupWindowTest, HitCodesComeFromTheHitStyleWithTheExtraCode) {
  ASSERT_NE(Load(R"(<window name="grab" offset="0,0,30,30" hitstyle="DRAG"/>
                    <window name="plain" offset="0,0,30,30"/>)"),
            nullptr);
  auto grab = Create(u"grab");
  auto plain = Create(u"plain");
  ASSERT_NE(grab, nullptr);
  ASSERT_NE(plain, nullptr);
  const PointI at{5, 5};
  EXPECT_EQ(grab->HitCode(&at), kHitDrag);
  EXPECT_EQ(plain->HitCode(&at), kHitNone);  // no hit style: the point passes through
  auto* control = QueryBorrowed<MControl>(plain, kIID_MControl);
  ASSERT_NE(control, nullptr);
  control->GetDefinition()->SetExtraHitCode(kHitActive);
  EXPECT_EQ(plain->HitCode(&at), kHitActive);
  EXPECT_EQ(control->HasNoLook(), 1);
}

}  // namespace
}  // namespace vk2::test

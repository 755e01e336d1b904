// Dock points and the script-child callback.
#include <gtest/gtest.h>

#include "interfaces/ids.h"
#include "markup/module/module_objects.h"
#include "markup/report/error_sink.h"
#include "markup/resources/dock_point.h"
#include "tests/markup/support/markup_fixture.h"
#include "tests/support/script_host.h"

namespace vk2::markup {
namespace {

using test::LoadElement;
using test::Narrow;

TEST(DockPointTest, NamedAndUnnamedPoints) {
  test::InProcessMarkup services;
  ErrorSinkScope sink;
  DockPointDefinition point;
  ASSERT_TRUE(ParseDockPoint(
      LoadElement(
          "<dock_point name=\"right\" offset=\"-2,0\" alignment=\"1,0.5\" type=\"MASTER\"/>"),
      nullptr, nullptr, &point));
  EXPECT_EQ(Narrow(point.name), "right");
  EXPECT_TRUE(point.master);
  EXPECT_EQ(point.anchor.Resolve({0, 0, 100, 40}), (PointD{98, 20}));
  // Without a name: reported, and the point is still built (a slave by default).
  EXPECT_FALSE(
      ParseDockPoint(LoadElement("<dock_point offset=\"3,4\"/>"), nullptr, nullptr, &point));
  EXPECT_FALSE(point.master);
  EXPECT_EQ(point.anchor.Resolve({0, 0, 10, 10}), (PointD{3, 4}));
  EXPECT_EQ(Narrow(sink.Text()),
            "\tError in tag <dock_point> on line (1):\n\tDock points must be named.\n");
}

TEST(ScriptChildCallbackTest, RemovesTheChildOnlyForTheChildEvent) {
  test::ScriptHost host;
  RefPtr<ScriptObject> child = ScriptObject::Make();
  child->SetName(u"knob");
  child->RegisterWithEngine(host.engine);
  ASSERT_TRUE(host.self->AddChild(child.Get()));
  MUnknown* parent = static_cast<MScriptObject*>(host.self.Get());
  MUnknown* member = static_cast<MScriptObject*>(child.Get());
  EXPECT_EQ(RemoveScriptChildCallback(parent, 3, member), 1);
  MScriptObject* found = nullptr;
  ASSERT_TRUE(host.self->FindChild(TString(u"knob"), &found));
  found->Release();
  EXPECT_EQ(RemoveScriptChildCallback(parent, 4, member), 1);
  EXPECT_FALSE(host.self->FindChild(TString(u"knob"), &found));
  EXPECT_EQ(RemoveScriptChildCallback(nullptr, 4, member), 1);
}

}  // namespace
}  // namespace vk2::markup

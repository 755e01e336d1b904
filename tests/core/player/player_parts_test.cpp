// Parts attached to a player answer through it, the newest part first.
#include "oru/core/base_object.h"
#include "tests/core/player/player_harness.h"

namespace vk2::test {
namespace {

TEST(PlayerParts, InterfaceRequestsFallThroughToThePartsNewestFirst) {
  PlayerEnvironment environment;
  environment.makeBaseObject = [](MUnknown* outer) {
    void* inner = nullptr;
    oru::BaseObject::Create(outer, &inner);
    return RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(inner));
  };
  PlayerHarness h({-1.0}, environment);
  RefPtr<MBaseObject> base;
  ASSERT_EQ(h.player->QueryInterface(kIID_MBaseObject, base.PutVoid()), 0);
  void* none = nullptr;
  EXPECT_EQ(h.player->QueryInterface(kIID_MErrorRegistry, &none), -15);

  RefPtr<FakeErrorRegistry> older(new FakeErrorRegistry);
  RefPtr<FakeErrorRegistry> newer(new FakeErrorRegistry);
  ASSERT_EQ(base->AddPart(older->Identity()), 0);
  ASSERT_EQ(base->AddPart(newer->Identity()), 0);
  RefPtr<MErrorRegistry> found;
  ASSERT_EQ(h.player->QueryInterface(kIID_MErrorRegistry, found.PutVoid()), 0);
  EXPECT_EQ(found.Get(), static_cast<MErrorRegistry*>(newer.Get()));
  // The player's own faces come before any part.
  RefPtr<MPlayer> self;
  ASSERT_EQ(base->QueryInterface(kIID_MPlayer, self.PutVoid()), 0);
  EXPECT_EQ(self.Get(), h.player.Get());
}

}  // namespace
}  // namespace vk2::test

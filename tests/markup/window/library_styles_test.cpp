// Windows drawn, outlined and hit-tested by the style library's own readers (the fixture's
// stand-in fill reader is swapped out here), so the window side and the styles meet for real.
#include <gtest/gtest.h>

#include "interfaces/ids.h"
#include "markup/definition/style_readers.h"
#include "markup/services/markup_services.h"
#include "markup/styles/window_styles.h"
#include "tests/markup/window/window_fixture.h"

namespace vk2::test {
namespace {

constexpr uint32_t kGreen = 0xFF00FF00;

class LibraryStylesTest : public MarkupWindowTest {
 protected:
  LibraryStylesTest()
      : before_(markup::InstallStyleReaders(
            {&markup::ReadWindowImageStyle, &markup::ReadWindowShape})) {}
  ~LibraryStylesTest() override { markup::InstallStyleReaders(before_); }

  uint32_t PixelAt(MWindowElement* window, size_t x, size_t y) {
    const gui::HeadlessWindow w = BackendWindowOf(window);
    return w.pixels.empty() ? 0u : w.pixels[y * w.presentedWidth + x];
  }

  markup::StyleReaders before_;
};

TEST_F(LibraryStylesTest, AWindowPaintsItsImageStyleOutlinesByItsShapeAndHitsByItsShapes) {
  ASSERT_NE(Load(R"(<shape name="left"><shape_rect offset="0,0,10,20" alignment="0,0,0,0"/></shape>
    <hitstyle name="grip" default_hitcode="DRAG">
      <hitcode type="BOTTOMRIGHT"><shape><shape_rect offset="-4,-4,0,0" alignment="1,1,1,1"/>
      </shape></hitcode>
    </hitstyle>
    <window name="main" offset="0,0,20,20" shape="left" hitstyle="grip">
      <imagestyle name="background"><color_fill color="#00FF00"/></imagestyle>
    </window>)"),
            nullptr);
  auto window = Create(u"main");
  ASSERT_NE(window, nullptr);
  Step(20);
  EXPECT_EQ(PixelAt(window.Get(), 5, 5), kGreen) << "the library's colour fill drew";

  RefPtr<MMaskImage> mask;
  ASSERT_EQ(markup::ImageService()->CreateMask(20, 20, mask.Put()), 0);
  ASSERT_EQ(window->Region(mask.Get(), 20, 20), 1);
  EXPECT_EQ(mask->Value(5, 5), 1);
  EXPECT_EQ(mask->Value(15, 5), 0) << "outside the shape's left half";

  const PointI inside{5, 5}, corner{18, 18};
  EXPECT_EQ(window->HitCode(&inside), kHitDrag);
  EXPECT_EQ(window->HitCode(&corner), kHitSizeBottomRight) << "the shaped entry answers by size";
}

}  // namespace
}  // namespace vk2::test

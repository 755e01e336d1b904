// Captions, the module's utility objects, and windows painting their definitions on a host.
#include <gtest/gtest.h>

#include <vector>

#include "component/object/query.h"
#include "interfaces/ids.h"
#include "interfaces/markup/text_font.h"
#include "markup/module/markup_factory.h"
#include "oru/graphics/canvas/canvas_object.h"
#include "oru/gui/host/host_window_object.h"
#include "tests/markup/window/window_fixture.h"

namespace vk2::test {
namespace {

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF00FF00;

struct Surface {
  std::vector<uint32_t> pixels = std::vector<uint32_t>(16 * 16, 0u);
  RefPtr<MCanvas> canvas;
  Surface() {
    SurfaceView view;
    view.bits = reinterpret_cast<uint8_t*>(pixels.data());
    view.width = view.height = 16;
    view.strideBytes = 64;
    EXPECT_EQ(gfx::CreateCanvasOnView(view, &canvas), 0);
  }
};

template <class T>
RefPtr<T> MakeFromModule(const Guid& iid, const Guid& answer) {
  void* p = nullptr;
  int32_t result = -1;
  EXPECT_TRUE(markup::CreateMarkupInstance(iid, &p, &result));
  EXPECT_EQ(result, 0);
  auto object = RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(p));
  return RefPtr<T>(QueryBorrowed<T>(object, answer));
}

class CaptionTest : public MarkupWindowTest {
 protected:
  void SetUp() override {
    ASSERT_NE(Load(R"(<window name="main" offset="0,0,16,16"/>)"), nullptr);
    window_ = Create(u"main");
    ASSERT_NE(window_, nullptr);
    caption_ = MakeFromModule<MTextFont>(kIID_MFontObject, kIID_MTextFont);
    ASSERT_NE(caption_, nullptr);
  }
  RefPtr<MWindowElement> window_;
  RefPtr<MTextFont> caption_;
  RefPtr<MImageStyleDrawing> red_ = MakeFillStyle(kRed, kStyleStateNormal);
  RefPtr<MImageStyleDrawing> blue_ = MakeFillStyle(kBlue, kStyleStateNormal);
};

TEST_F(CaptionTest, FlagsTellWhetherTheSelectedLookHasABackground) {
  EXPECT_EQ(caption_->GetFlags(0x10), 0);  // no table: the flags unchanged
  TextFontLook looks[4];
  looks[0].style = red_.Get();
  looks[2].style = blue_.Get();
  looks[2].transparent = 1;
  caption_->SetAll(u"Text", looks, nullptr, 3, 0);
  EXPECT_EQ(caption_->GetIndex(), -1);
  struct Case {
    uint32_t state;
    int32_t flags;
  };
  const Case cases[] = {{0x10, 3}, {0x10 | 2, 3}, {2, 3 + 4}, {4, 3 + 4}, {0, 3 + 4}};
  for (const Case& c : cases)
    EXPECT_EQ(caption_->GetFlags(c.state), c.flags) << c.state;
}

TEST_F(CaptionTest, DrawUsesTheFirstLookTheStateSelects) {
  TextFontLook looks[4];
  looks[0].style = red_.Get();
  looks[1].style = blue_.Get();
  caption_->SetAll(u"", looks, nullptr, 0, 0);
  const double weights[] = {1.0, 0, 0};
  Surface surface;
  EXPECT_EQ(caption_->Draw(RectI{0, 0, 16, 16}, surface.canvas.Get(), weights, 3, window_.Get(),
                           0x10 | 2),
            1);
  EXPECT_EQ(surface.pixels[8 * 16 + 8], kRed);
  // Nothing selected, or nothing to draw with: false.
  EXPECT_EQ(caption_->Draw(RectI{0, 0, 16, 16}, surface.canvas.Get(), weights, 3, window_.Get(), 0),
            0);
  EXPECT_EQ(
      caption_->Draw(RectI{0, 0, 0, 16}, surface.canvas.Get(), weights, 3, window_.Get(), 0x10), 0);
  SizeI size{5, 5};
  EXPECT_EQ(caption_->Measure(&size, window_.Get(), 0), 0);
  EXPECT_EQ(size, (SizeI{0, 0}));  // the window has no font
}

TEST_F(CaptionTest, TheUtilityObjectComposesStateStyles) {
  auto utility = MakeFromModule<MMarkupUtility>(kIID_MMarkupUtility, kIID_MMarkupUtility);
  ASSERT_NE(utility, nullptr);
  MImageStyleDrawing* styles[] = {blue_.Get()};
  const double weights[] = {1.0, 0, 0};
  Surface surface;
  EXPECT_EQ(utility->DrawStateStyles(RectI{0, 0, 16, 16}, surface.canvas.Get(), red_.Get(), styles,
                                     1, weights, 3, 0, VisualParameters{}),
            1);
  EXPECT_EQ(surface.pixels[3 * 16 + 3], kBlue);
}

TEST_F(MarkupWindowTest, AWindowPaintsItsBackgroundAndHalfWhenDisabled) {
  ASSERT_NE(Load(R"(<window name="main" offset="0,0,20,20">
      <imagestyle name="background" fill="#00FF00"/>
    </window>)"),
            nullptr);
  auto window = Create(u"main");
  ASSERT_NE(window, nullptr);
  Step(20);
  MHostWindow* host = nullptr;
  window->GetValue(kValueHost, &host, sizeof host);
  ASSERT_NE(host, nullptr);
  auto* object = static_cast<gui::HostWindowObject*>(host);
  const auto pixel = [&] {
    const gui::HeadlessWindow w = backend_->Window(object->BackendWindow());
    return w.pixels.empty() ? 0u : w.pixels[static_cast<size_t>(5) * w.presentedWidth + 5];
  };
  EXPECT_EQ(pixel(), kGreen);
  Run(window.Get(), "Disable();");
  Step(20);
  EXPECT_NEAR(static_cast<double>(pixel() >> 24), 128.0, 1.0) << std::hex << pixel();
}

}  // namespace
}  // namespace vk2::test

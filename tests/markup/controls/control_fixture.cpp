#include "tests/markup/controls/control_fixture.h"

#include "component/object/query.h"
#include "tests/markup/styles/style_fixture.h"

namespace vk2::test {

void ControlTest::Open(const std::string& windows) {
  ASSERT_NE(Load(kGlyphFont + windows, {{"glyphs.psd", GlyphStrip()}}), nullptr);
  main_ = Create(u"main");
  ASSERT_NE(main_, nullptr);
  Step(20);
}

MWindowElement* ControlTest::Find(const char16_t* name) {
  if (!main_) return nullptr;
  MScriptObject* script = ScriptOf(main_.Get());
  if (TString(name) == TString(u"main")) return main_.Get();
  RefPtr<MScriptObject> child;
  if (!script->FindChild(TString(name), child.Put()) || !child) return nullptr;
  return QueryBorrowed<MWindowElement>(child.Get(), kIID_MWindowElement);
}

uint32_t ControlTest::HostId() {
  return BackendIdOf(main_.Get());
}

uint32_t ControlTest::Pixel(int32_t x, int32_t y) {
  Step(20);
  return PresentedPixel(x, y);
}

uint32_t ControlTest::PresentedPixel(int32_t x, int32_t y) {
  const gui::HeadlessWindow w = backend_->Window(HostId());
  if (x < 0 || y < 0 || x >= w.presentedWidth || y >= w.presentedHeight) return 0xDEADBEEF;
  return w.pixels[static_cast<size_t>(y) * static_cast<size_t>(w.presentedWidth) +
                  static_cast<size_t>(x)];
}

void ControlTest::Press(int32_t x, int32_t y) {
  backend_->Press(HostId(), x, y);
  Turn();
}

void ControlTest::Release(int32_t x, int32_t y) {
  backend_->ReleaseButton(HostId(), x, y);
  Turn();
}

void ControlTest::Move(int32_t x, int32_t y) {
  backend_->MoveTo(HostId(), x, y);
  Turn();
}

void ControlTest::Click(int32_t x, int32_t y) {
  Press(x, y);
  Release(x, y);
}

}  // namespace vk2::test

#include "tests/oru/gui/support/gui_test_fixture.h"

#include <algorithm>

#include "interfaces/graphics/canvas.h"
#include "interfaces/graphics/image.h"

namespace vk2::gui::test {

RefPtr<RecordingPart> RecordingPart::Make(uint32_t color) {
  RefPtr<RecordingPart> part(new RecordingPart);
  part->color = color;
  return part;
}

int32_t RecordingPart::CountNotes(uint32_t code) const {
  return static_cast<int32_t>(std::count_if(notes.begin(), notes.end(),
                                            [code](const Received& r) { return r.code == code; }));
}

int32_t RecordingPart::CountQueries(uint32_t code) const {
  return static_cast<int32_t>(std::count_if(queries.begin(), queries.end(),
                                            [code](const Received& r) { return r.code == code; }));
}

bool RecordingPart::OnPaint(MCanvas* canvas, const PaintRecord& record) {
  (void)record;
  if (!color) return false;
  const SizeI extent = VirtualSize();
  canvas->FillRect(
      RectF{0, 0, static_cast<double>(extent.width), static_cast<double>(extent.height)}, color,
      0xF, 256, false);
  return true;
}

int32_t RecordingPart::OnHitCode(PointI point) {
  return WindowPart::OnHitCode(point) == kHitNone ? kHitNone : hitCode;
}

void RecordingPart::OnNotify(uint32_t code, uintptr_t argument) {
  notes.push_back(Received{code, argument, {}});
  if (code == kNotifySizeRequest) {
    auto* size = reinterpret_cast<SizeI*>(argument);
    size->width = std::max(size->width, minSize.width);
    size->height = std::max(size->height, minSize.height);
  }
  if (code == kNotifyDock) {
    const auto* record = reinterpret_cast<const DockChangeRecord*>(argument);
    dockChanges.push_back(*record);
    dockNames.emplace_back(record->name ? record->name : u"");
  }
  if (code == kNotifyFileDrop) {
    const auto* record = reinterpret_cast<const FileDropRecord*>(argument);
    for (int32_t i = 0; i < record->count; ++i)
      dropped.emplace_back(record->paths[i]);
  }
}

int32_t RecordingPart::OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  (void)b;
  (void)c;
  Received r{code, a, {}};
  if (code >= kQueryLeftDown && code <= kQueryPointerMove && a) {
    r.point = *reinterpret_cast<const PointI*>(a);
  }
  queries.push_back(r);
  return std::find(handles.begin(), handles.end(), code) != handles.end() ? 1 : 0;
}

bool RecordingPart::OnRegion(MMaskImage* target, int32_t width, int32_t height) {
  return target->CombineRect(RectI{0, 0, leftHalfRegion ? width / 2 : width, height}, kClipUnion) ==
         0;
}

GuiTest::GuiTest() {
  auto backend = std::make_unique<HeadlessBackend>();
  backend_ = backend.get();
  loop_ = std::make_unique<GuiLoop>(std::move(backend));
}

GuiTest::~GuiTest() {
  for (HostWindowObject* host : std::vector<HostWindowObject*>(loop_->Hosts()))
    host->Close();
  loop_->RunPending();
}

RefPtr<HostWindowObject> GuiTest::MakeHost(RecordingPart* root, const RectI& rect) {
  RefPtr<HostWindowObject> host;
  EXPECT_EQ(HostWindowObject::Create(loop_.get(), &host), 0);
  root->SetLocation(PointI{rect.left, rect.top});
  root->SetSize(SizeI{rect.Width(), rect.Height()});
  EXPECT_EQ(host->SetRoot(root), 0);
  Turn();
  return host;
}

RefPtr<RecordingPart> GuiTest::AddChild(RecordingPart* parent, int32_t x, int32_t y, int32_t w,
                                        int32_t h, uint32_t color) {
  RefPtr<RecordingPart> child = RecordingPart::Make(color);
  child->SetLocation(PointI{x, y});
  child->SetSize(SizeI{w, h});
  EXPECT_EQ(parent->AttachChild(child.Get(), kPlaceModeTop), 0);
  return child;
}

void GuiTest::Step(uint64_t ms) {
  clock_.Advance(ms);
  loop_->RunPending();
}

uint32_t GuiTest::PixelAt(HostWindowObject* host, int32_t x, int32_t y) {
  const HeadlessWindow w = backend_->Window(host->BackendWindow());
  if (x < 0 || y < 0 || x >= w.presentedWidth || y >= w.presentedHeight) return 0xDEADBEEF;
  return w.pixels[static_cast<size_t>(y) * w.presentedWidth + x];
}

TweenRecord PointTween(int32_t x, int32_t y, int32_t curve) {
  TweenRecord record;
  for (int i = 0; i < 8; i += 2) {
    record.to.words[i] = x;
    record.to.words[i + 1] = y;
  }
  record.from = record.to;
  record.curve = curve;
  record.mode = kTweenFromCurrent;
  return record;
}

}  // namespace vk2::gui::test

#include "gui/console_window/console_window.h"

#include "component/module/runtime_loader.h"
#include "gui/console_window/console_command.h"
#include "gui/console_window/console_lines.h"
#include "gui/console_window/console_script.h"
#include "interfaces/gui/controls.h"
#include "markup/window/window_font.h"

namespace vk2::gui {
namespace {

// Every channel written, the source over what is there.
constexpr uint64_t kAllChannels = 0xF;
constexpr uint32_t kEntryFlags = 0x4005;
// Left-aligned and wrapped at the window's width.
constexpr uint32_t kLineFlags = 0;

}  // namespace

ConsoleWindow::ConsoleWindow(MUnknown* base)
    : ModuleWindow(base),
      // The logging thread only posts; the window repaints on its loop.
      watcher_([this] { Invalidate(nullptr); }),
      filter_([this] { Invalidate(nullptr); }) {}

ConsoleWindow::~ConsoleWindow() {
  watcher_.Stop();
}

void ConsoleWindow::Setup() {
  console_ = CreateRuntimeObject<MConsole>(kServiceClass, kIID_MConsole);
  watcher_.Watch(console_.Get());
}

MScriptObject* ConsoleWindow::ParentScript() {
  MWindowElement* parent = nullptr;
  if (GetValue(kValueParent, &parent, sizeof parent) != 0 || !parent) return nullptr;
  return QueryBorrowed<MScriptObject>(parent, kIID_MScriptObject);
}

void ConsoleWindow::MakeEntry() {
  MFont* font = markup::InheritedWindowFont(this);
  const int32_t h = markup::FontLineHeight(font);
  if (h <= 0 || entry_) return;
  entry_ = AssembleOnBase<ConsoleEntry>(MakeControlBase(kIID_MEditBox), [this] { RunEntry(); });
  if (!entry_) return;
  markup::SetWindowFont(entry_.Get(), font);
  const int32_t a = (3 * h) >> 1;
  const int32_t b = (3 * h) >> 3;
  PlacementRecord placement;
  placement.parent = static_cast<MWindowElement*>(this);
  placement.rect = AnchoredRect{{(3 * a) / 2, -(a + b), -(3 * a) / 2, -b}, {0, 1, 1, 1}};
  placement.flags = kEntryFlags;
  placement.mode = kPlaceModeTop;
  entry_->PostCommand(kCmdPlacement, 0, 0, reinterpret_cast<uintptr_t>(&placement), this, 0, 0);
}

void ConsoleWindow::RunEntry() {
  auto* edit = entry_ ? QueryBorrowed<MEditBox>(entry_->Outer(), kIID_MEditBox) : nullptr;
  if (!edit) return;
  TString typed;
  edit->GetText(&typed);
  RefPtr<MScriptEngine> engine =
      CreateRuntimeObject<MScriptEngine>(kMmlModuleClass, kIID_MScriptEngine);
  RunConsoleCommand(console_.Get(), engine.Get(), ParentScript(), typed);
  edit->SetText(u"");
}

int32_t ConsoleWindow::OnPaint(MCanvas* canvas, const PaintRecord* record) {
  watcher_.Repainting();
  MFont* font = markup::InheritedWindowFont(this);
  const int32_t h = markup::FontLineHeight(font);
  SizeI size;
  if (!canvas || !font || h <= 0 || GetValue(kValueSize, &size, sizeof size) != 0)
    return ModuleWindowCore::OnPaint(canvas, record);
  const auto measure = [&](const TString& text) {
    return font->WrappedHeight(text.c_str(), -1, size.width, kLineFlags);
  };
  const std::vector<ConsoleLine> lines =
      LayOutConsoleLines(console_.Get(), filter_.MinLevel(), size.height - 2 * h, measure);
  for (const ConsoleLine& line : lines) {
    font->DrawText(canvas, line.text.c_str(), -1,
                   RectI{0, line.top, size.width, line.top + line.height}, kLineFlags, kAllChannels,
                   line.color, 256);
  }
  const int32_t below = ModuleWindowCore::OnPaint(canvas, record);
  return !lines.empty() || below > 0 ? 1 : 0;
}

int32_t ConsoleWindow::OnNotify(uint32_t code, uintptr_t argument) {
  switch (code) {
    case kNotifyCreated:
      MakeEntry();
      break;
    case kNotifyAttached:
      if (MScriptObject* parent = ParentScript()) {
        if (AddConsoleLevelMethod(parent, &filter_)) levelHolder_ = RefPtr<MScriptObject>(parent);
      }
      break;
    case kNotifyDestroyed:
      watcher_.Stop();
      if (levelHolder_) RemoveConsoleLevelMethod(levelHolder_.Get());
      levelHolder_ = nullptr;
      entry_ = nullptr;
      break;
    default:
      break;
  }
  return ModuleWindowCore::OnNotify(code, argument);
}

}  // namespace vk2::gui

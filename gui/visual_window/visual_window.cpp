#include "gui/visual_window/visual_window.h"

#include <algorithm>

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "gui/app/gui_application.h"
#include "gui/main/core_access.h"
#include "gui/module/gui_module.h"
#include "gui/visual_window/visual_paint.h"
#include "gui/window_base/style_element.h"
#include "interfaces/core/core.h"
#include "interfaces/graphics/canvas.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/xml_document.h"

namespace vk2::gui {
namespace {

constexpr uint32_t kScriptFlags = 0x10000;
// Every channel written, the source over what is there.
constexpr uint64_t kAllChannels = 0xF;
// The canvas weighs by the opacity argument only when the code asks it to; no markup blend
// keyword does, so the window's "opacity" would otherwise never show.
constexpr uint64_t kWithOpacity = kBlendOpacity;
// The window's own timed command: at its start the window looks for a new frame.
constexpr uint32_t kFrameCommand = kCmdCustom;
constexpr int32_t kFrameMs = 1000 / 60;

RefPtr<MPlayer> FindCorePlayer(const TString& name) {
  RefPtr<MCore> core = CreateRuntimeObject<MCore>(kMediaCoreClass, kIID_MCore);
  RefPtr<MPlayer> player;
  if (!core || !core->GetPlayerManager() || core->GetPlayerManager()->Find(name, &player) < 0) {
    return nullptr;
  }
  return player;
}

RefPtr<MVisualPostEffect> CreateRuntimeEffect(const Guid& classId, int32_t* result) {
  void* made = nullptr;
  *result = RuntimeCreateInstance(classId, kIID_MVisualPostEffect, &made);
  if (*result < 0 || !made) return nullptr;
  return RefPtr<MVisualPostEffect>::Adopt(static_cast<MVisualPostEffect*>(made));
}

RefPtr<MPreferenceStore> OpenRuntimeSection(const TString& path) {
  RefPtr<MPreferenceStore> store =
      CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  if (!store || store->OpenSection(path.c_str(), 1) < 0) return nullptr;
  return store;
}

MVisualControl* ApplicationVisualControl() {
  GuiApplication* application = TheApplication();
  return application ? application->VisualControlObject() : nullptr;
}

}  // namespace

VisualDisplayServices RuntimeVisualDisplayServices() {
  VisualDisplayServices services;
  services.host = CreateRuntimeObject<MVisualHost>(kVisualHandlerClass, kIID_MVisualHost);
  services.control = &ApplicationVisualControl;
  services.findPlayer = &FindCorePlayer;
  services.createEffect = &CreateRuntimeEffect;
  services.openSettings = &OpenRuntimeSection;
  return services;
}

RefPtr<VisualWindow> AssembleVisualWindow(RefPtr<MBaseObject> base) {
  return AssembleOnBase<VisualWindow>(std::move(base), RuntimeVisualDisplayServices());
}

VisualWindow::VisualWindow(MUnknown* base, VisualDisplayServices services)
    : ModuleWindow(base), blendCode_(kAllChannels | kWithOpacity) {
  services.repaint = [this] { Repaint(); };
  display_ = std::make_unique<VisualDisplay>(std::move(services));
  scriptTarget_.display = display_.get();
  scriptTarget_.errorMessage = &RuntimeErrorMessage;
}

void VisualWindow::Setup() {
  if (MScriptObject* script = Script()) {
    script->SetClassName(TString(kVisualWindowClassName));
    script->SetVersion(kScriptFlags);
    RegisterVisualWindowMethods(script, &scriptTarget_);
  }
}

void VisualWindow::LoadStyle(MWindowDefinition* markup, MInterfaceDefinition* iface) {
  MXmlNode* element = markup ? markup->GetPropertyElement() : nullptr;
  if (!element) return;
  TString text;
  if (element->GetAttribute(u"player", &text) == 0 && !text.IsEmpty()) {
    display_->SetPlayerName(text);
  }
  if (element->GetAttribute(u"group", &text) == 0) display_->SetInitialGroup(text);
  double opacity = 0;
  if (element->GetAttributeNumber(u"opacity", &opacity) == 0) {
    opacity_ = std::clamp(static_cast<int32_t>(opacity), 0, 256);
  }
  uint64_t code = 0;
  if (iface && element->GetAttribute(u"blendmode", &text) == 0 &&
      iface->ParseBlitModeValue(text.c_str(), &code) >= 0) {
    blendCode_ = code | kWithOpacity;
  }
  background_ = ReadImageAttribute(iface, element, u"background");
  foreground_ = ReadImageAttribute(iface, element, u"foreground");
}

void VisualWindow::ScheduleFrame() {
  PostCommand(kFrameCommand, kFrameMs, 0, 0, nullptr, 0, 0);
}

int32_t VisualWindow::OnNotify(uint32_t code, uintptr_t argument) {
  switch (code) {
    case kNotifyCreated:
      display_->Open();
      open_ = true;
      Repaint();
      ScheduleFrame();
      break;
    case kNotifyDestroyed:
      open_ = false;
      CancelCommands(kFrameCommand, 0, -1, 0, 0, nullptr, 0);
      display_->Close();
      break;
    case kFrameCommand:
      // Painting only when the visual has a new frame keeps an idle visual off the processor.
      if (!open_) return 0;
      if (display_->NeedsRedraw()) Repaint();
      ScheduleFrame();
      return 0;
    default:
      break;
  }
  return ModuleWindowCore::OnNotify(code, argument);
}

int32_t VisualWindow::OnPaint(MCanvas* canvas, const PaintRecord* record) {
  if (!canvas) return ModuleWindowCore::OnPaint(canvas, record);
  SizeI size;
  GetValue(kValueSize, &size, sizeof size);
  VisualPaintStyle style;
  style.background = background_.Get();
  style.foreground = foreground_.Get();
  style.blendCode = blendCode_;
  style.opacity = opacity_;
  PaintVisualWindow(canvas, size, *display_, style, &image_);
  ModuleWindowCore::OnPaint(canvas, record);
  return 1;
}

}  // namespace vk2::gui

// Control properties from markup: whatever a window's property element says, every widget type
// loads it, paints, takes a new text and goes away without crashing or hanging; a scroll bar
// applies whatever style the interface's "VK2_Scrollbar" element gives. Windows are made
// stand-alone (no host, no loop): loading and painting must not need one.
#include <cstddef>
#include <cstdint>

#include "component/object/query.h"
#include "fuzz/markup_fuzz_common.h"
#include "interfaces/gui/controls.h"
#include "interfaces/ids.h"
#include "markup/controls/scroll_bar_control.h"
#include "markup/controls/widget_kinds.h"
#include "oru/core/base_object.h"
#include "oru/graphics/images/image_service.h"
#include "oru/gui/brint_class.h"
#include "script/runtime/script_module.h"

namespace {

using namespace vk2;
using namespace vk2::markup;

constexpr size_t kMaxText = 16 * 1024;
constexpr int32_t kSide = 32;
constexpr int32_t kMaxWindows = 8;

const Guid* const kWidgetClasses[] = {&kGenericWindowClass, &kButtonClass,      &kSpinButtonClass,
                                      &kTextDisplayClass,   &kFillBarClass,     &kPickerClass,
                                      &kSelectionListClass, &kDlgCheckBoxClass, &kEditBoxClass};

int32_t CreateInProcess(const Guid& classId, const Guid& iid, void** out, MUnknown* outer) {
  if (classId == kRuntimeRootClass && iid == kIID_MBaseObject)
    return oru::BaseObject::Create(outer, out);
  if (classId == kBrintClass) return gui::CreateBrintObject(iid, out, outer);
  return -15;
}

void InstallServices() {
  static bool installed = [] {
    ScriptModuleConfig config;
    config.uidSeed = 1;
    config.timerWorker = false;
    ScriptModule::Configure(config);
    MarkupServices services = markupfuzz::DocumentServices();
    services.imageStyleService = [] {
      static oru::ImageServiceObject service(nullptr);
      return RefPtr<MImageStyleService>(static_cast<MImageStyleService*>(&service));
    };
    services.createInstance = &CreateInProcess;
    InstallMarkupServices(services);
    return true;
  }();
  (void)installed;
}

void Exercise(InterfaceDefinition* iface, WindowDefinition* definition, MCanvas* canvas) {
  for (const Guid* classId : kWidgetClasses) {
    const WidgetKind* kind = FindWidgetKind(*classId);
    if (!kind) continue;
    RefPtr<MarkupWindow> window = MakeWidget(*kind);
    if (!window) continue;
    window->SetDefinition(definition);
    window->LoadProperties(iface);
    PaintRecord record;
    record.dirty = RectI{0, 0, kSide, kSide};
    window->Paint(canvas, &record);
    const PointI at{3, 3};
    window->HitCode(&at);
    if (MScriptObject* script = window->Script()) {
      RefPtr<MScriptObject> result;
      ScriptModule::Engine()->Run(u"SetText(\"AB\"); SetButtonState(3);", result.Put(), script,
                                  nullptr, nullptr);
      // The value and list controls: positions, items and the current item.
      ScriptModule::Engine()->Run(
          u"SetRealPos(0.5); SetIntPos(-7); SetItems({\"a\", {text: \"b\", data: 1}}); "
          u"AddItem(\"c\"); SetCurrentItemIndex(\"0x1\"); SelectItemIndex(1, true);",
          result.Put(), script, nullptr, nullptr);
    }
    window->Paint(canvas, &record);
    window->DestroyWindow();
  }
}

// The first windows of each widget type the interface defines, and the scroll bar style.
void ExerciseInterface(InterfaceDefinition* iface, MCanvas* canvas) {
  int32_t windows = 0;
  for (const Guid* classId : kWidgetClasses) {
    TArray<TString> names;
    iface->ListWindowNames(&names, *classId);
    for (uint32_t n = 0; n < names.Count() && windows < kMaxWindows; ++n, ++windows) {
      if (RefPtr<WindowDefinition> definition = iface->FindWindow(names[n].view()))
        Exercise(iface, definition.Get(), canvas);
    }
  }
  for (bool horizontal : {false, true}) {
    if (RefPtr<MScrollBar> bar = ScrollBarControl::Make(horizontal)) {
      bar->ApplyStyle(static_cast<MUnknown*>(static_cast<MInterfaceDefinition*>(iface)), nullptr);
      bar->DestroyWindow();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxText) return 0;
  InstallServices();
  markupfuzz::ForEachInterface(data, size, {}, kSide, ExerciseInterface);
  return 0;
}

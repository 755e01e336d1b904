// Control properties from markup: whatever a window's property element says, every widget type
// loads it, paints, takes a new text and goes away without crashing or hanging; a scroll bar
// applies whatever style the interface's "VK2_Scrollbar" element gives. Windows are made
// stand-alone (no host, no loop): loading and painting must not need one.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "component/object/query.h"
#include "interfaces/gui/controls.h"
#include "interfaces/ids.h"
#include "markup/controls/scroll_bar_control.h"
#include "markup/controls/widget_kinds.h"
#include "markup/definition/interface_definition.h"
#include "markup/definition/interface_loader.h"
#include "markup/package/memory_package.h"
#include "markup/services/markup_services.h"
#include "oru/core/base_object.h"
#include "oru/graphics/canvas/canvas_object.h"
#include "oru/graphics/canvas/surface_object.h"
#include "oru/graphics/images/image_service.h"
#include "oru/graphics/images/psd_cache.h"
#include "oru/graphics/images/thread_image_service.h"
#include "oru/gui/brint_class.h"
#include "oru/services/xml/xml_document.h"
#include "script/runtime/script_module.h"

namespace {

using namespace vk2;
using namespace vk2::markup;

constexpr size_t kMaxText = 16 * 1024;
constexpr int32_t kSide = 32;
constexpr int32_t kMaxWindows = 8;

const Guid* const kWidgetClasses[] = {
    &kGenericWindowClass, &kButtonClass,        &kSpinButtonClass,
    &kTextDisplayClass,   &kFillBarClass,       &kPickerClass,
    &kSelectionListClass, &kDlgCheckBoxClass,   &kEditBoxClass};

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
    MarkupServices services;
    services.makeXmlDocument = [] { return RefPtr<MXmlDocument>(new oru::XmlDocumentObject()); };
    services.imageService = [] {
      static auto cache = std::make_shared<oru::PsdCache>();
      return RefPtr<MThreadImageService>(new oru::ThreadImageServiceObject(cache));
    };
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxText) return 0;
  InstallServices();
  auto package = MemoryPackage::Make(
      {{"index.mml", std::string(reinterpret_cast<const char*>(data), size)}});
  auto loader = InterfaceLoader::Make();
  LoadContext context;
  context.language = u"english";
  TString error;
  if (loader->LoadFromPackage(package.Get(), "index.mml", &context, &error, nullptr) != 0) return 0;
  RefPtr<MSurface> surface;
  RefPtr<MCanvas> canvas;
  if (gfx::CreateSurface(kSide, kSide, PixelFormat::kArgb32, &surface) != 0 ||
      gfx::CreateCanvas(surface.Get(), &canvas) != 0)
    return 0;
  for (int32_t i = 0; i < loader->Count(); ++i) {
    MInterfaceDefinition* found = nullptr;
    if (loader->GetByIndex(i, &found) != 0) continue;
    auto held = RefPtr<MInterfaceDefinition>::Adopt(found);
    // The loader hands out its own definitions.
    auto* iface = static_cast<InterfaceDefinition*>(held.Get());
    int32_t windows = 0;
    for (const Guid* classId : kWidgetClasses) {
      TArray<TString> names;
      iface->ListWindowNames(&names, *classId);
      for (uint32_t n = 0; n < names.Count() && windows < kMaxWindows; ++n, ++windows) {
        if (RefPtr<WindowDefinition> definition = iface->FindWindow(names[n].view()))
          Exercise(iface, definition.Get(), canvas.Get());
      }
    }
    for (bool horizontal : {false, true}) {
      if (RefPtr<MScrollBar> bar = ScrollBarControl::Make(horizontal)) {
        bar->ApplyStyle(static_cast<MUnknown*>(static_cast<MInterfaceDefinition*>(iface)), nullptr);
        bar->DestroyWindow();
      }
    }
  }
  loader->Clear();
  return 0;
}

// tessel: the script and markup module. Its class table, and the module-wide state made at the
// first use of the script engine and taken apart at the last detach.
#include "component/module/module_glue.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "markup/controls/widget_type.h"
#include "markup/module/markup_factory.h"
#include "script/runtime/runtime_console.h"
#include "script/runtime/script_module.h"
#include "script/runtime/tessel_factory.h"

namespace {

using vk2::Guid;
using vk2::MUnknown;

int32_t CreateMain(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return vk2::kErrOutOfMemory;
  // The markup classes; the loader needs the script engine made first.
  if (iid == vk2::kIID_MInterfaceLoader) vk2::ScriptModule::Engine();
  int32_t result = 0;
  if (vk2::markup::CreateMarkupInstance(iid, out, &result)) return result;
  return vk2::CreateModuleInstance(iid, outer, out);
}

template <const Guid& kClass>
int32_t CreateWidgetType(const Guid& iid, void** out, MUnknown* /*outer*/) {
  return vk2::markup::CreateWidgetTypeInstance(kClass, iid, out);
}

// Registered in this order; only the main class carries a name.
const vk2::ModuleClass kClasses[] = {
    {vk2::kMmlModuleClass, u"DUV", &CreateMain},
    {vk2::kGenericWindowClass, nullptr, &CreateWidgetType<vk2::kGenericWindowClass>},
    {vk2::kButtonClass, nullptr, &CreateWidgetType<vk2::kButtonClass>},
    {vk2::kSpinButtonClass, nullptr, &CreateWidgetType<vk2::kSpinButtonClass>},
    {vk2::kTextDisplayClass, nullptr, &CreateWidgetType<vk2::kTextDisplayClass>},
    {vk2::kFillBarClass, nullptr, &CreateWidgetType<vk2::kFillBarClass>},
    {vk2::kPickerClass, nullptr, &CreateWidgetType<vk2::kPickerClass>},
    {vk2::kSelectionListClass, nullptr, &CreateWidgetType<vk2::kSelectionListClass>},
    {vk2::kDlgCheckBoxClass, nullptr, &CreateWidgetType<vk2::kDlgCheckBoxClass>},
    {vk2::kEditBoxClass, nullptr, &CreateWidgetType<vk2::kEditBoxClass>},
};

bool OnFirstAttach() {
  vk2::ScriptModuleConfig config;
  config.makeConsole = &vk2::MakeRuntimeConsole;
  vk2::ScriptModule::Configure(config);
  return true;
}

// The timer thread is joined first, then the global objects, the engine and the shared bases
// go (ScriptModule::Shutdown keeps that order).
void OnLastDetach() {
  vk2::ScriptModule::Shutdown();
}

const vk2::ModuleDefinition kModule{kClasses, {}, &OnFirstAttach, &OnLastDetach};

}  // namespace

VK2_MODULE_ENTRY_POINTS(kModule)

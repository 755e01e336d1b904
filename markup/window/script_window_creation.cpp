#include "markup/window/script_window_creation.h"

#include <array>

#include "component/object/query.h"
#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/prefs_dialog_provider.h"
#include "interfaces/runtime/resource_file.h"
#include "markup/definition/interface_loader.h"
#include "markup/services/markup_services.h"
#include "markup/window/markup_window.h"
#include "markup/window/window_factory.h"
#include "markup/window/window_methods.h"

namespace vk2::markup {
namespace {

void SetResult(HandlerCall& call, const char16_t* text) {
  if (ScriptDataEntity* data = AsDataEntity(call.result)) data->SetValue(TString(text));
}

// Loads the dialog a module's factory provides, below `current` for the names it lacks. 0 with
// `*out` set; a handler answer otherwise (the result text or error already given).
int32_t LoadFactoryDialog(HandlerCall& call, const Guid& factory, MInterfaceDefinition* current,
                          RefPtr<MInterfaceDefinition>* out) {
  RefPtr<MPrefsDialogProvider> provider =
      CreateObject<MPrefsDialogProvider>(factory, kIID_MPrefsDialogProvider);
  if (!provider) {
    SetResult(call, u"Factory ID specified refers to a non-existant factory");
    return kMethodDone;
  }
  PrefsPaneRecord pane;
  const bool gotPane = provider->GetPane(&pane);
  auto archive = RefPtr<MUnknown>::Adopt(pane.archive);
  auto* package = archive ? QueryBorrowed<MResourceFile>(archive, kIID_MResourceFile) : nullptr;
  if (!gotPane || !package) {
    SetResult(call, u"module returned an error while trying to get dialog source");
    return kMethodDone;
  }
  RefPtr<InterfaceLoader> loader = InterfaceLoader::Make();
  if (!loader) {
    ReportScriptError(call, TString(u"Creation of InterfaceDefinitionSet failed; unable to load "
                                    u"dialog"));
    return kMethodRejected;
  }
  LoadContext context;
  if (current) current->GetLanguageContext(&context);
  TString error;
  NarrowString member = Utf8(pane.resourceName);
  if (loader->LoadFromPackage(package, member.c_str(), &context, &error, current) != kOk) {
    ReportScriptError(call, TString::Format(u"Dialog could not be loaded from XML - %s", error));
    return kMethodRejected;
  }
  MInterfaceDefinition* dialog = nullptr;
  if (loader->GetByName(pane.interfaceName.c_str(), &dialog) != kOk || !dialog) {
    ReportScriptError(call, TString::Format(u"No dialog called '%s' was found in the provided "
                                            u"resource",
                                            pane.interfaceName));
    return kMethodRejected;
  }
  *out = RefPtr<MInterfaceDefinition>::Adopt(dialog);
  return kOk;
}

}  // namespace

int32_t RunCreateWindow(HandlerCall& call, MarkupWindow* window) {
  TString typeName, windowName, createName;
  std::array<int32_t, 4> offset{};
  std::array<double, 4> alignment{};
  bool visible = true, belowParent = false, createChildren = true;
  int32_t flags = 0, mmlFlags = 0;
  Guid factory{};
  const int32_t count = UnpackScriptArgs(call, u"WWW4I4DBIBIBm", &typeName, &windowName,
                                         &createName, &offset, &alignment, &visible, &flags,
                                         &belowParent, &mmlFlags, &createChildren, &factory);
  constexpr int32_t kRequired = 10;
  if (count < kRequired) return kMethodBadArguments;
  if (!window) return kMethodNoWindow;
  RefPtr<MInterfaceDefinition> definition(InterfaceOfWindow(window));
  if (count > kRequired) {
    RefPtr<MInterfaceDefinition> dialog;
    const int32_t r = LoadFactoryDialog(call, factory, definition.Get(), &dialog);
    if (r != kOk || !dialog) return r;
    definition = dialog;
  }
  if (!definition) return kMethodNoWindow;
  Guid typeClass;
  if (definition->GetWindowTypeClass(typeName.c_str(), &typeClass) != kOk) {
    ReportScriptError(call, TString::Format(u"Failed to find window type \"%s\"", typeName));
    return kMethodRejected;
  }
  WindowCreateRequest request;
  request.typeClass = typeClass;
  request.windowName = windowName.c_str();
  request.createName = createName.c_str();
  request.parent = window;
  request.placementGiven = true;
  for (size_t i = 0; i < 4; ++i) {
    request.placement.offset[i] = offset[i];
    request.placement.alignment[i] = alignment[i];
  }
  request.style = (visible ? kWindowStyleVisible : 0u) | static_cast<uint32_t>(flags);
  request.mode = belowParent ? kPlaceModeBelowParent : kPlaceModeTop;
  request.mmlFlags = static_cast<uint32_t>(mmlFlags);
  request.createChildren = createChildren;
  MWindowElement* made = nullptr;
  if (definition->CreateWindowEx(&request, &made) < 0 || !made) {
    SetResult(call, u"failed to create window; window code invalid?");
    return kMethodDone;
  }
  made->AdoptCreator(window);
  made->Release();
  SetResult(call, u"success");
  return kMethodDone;
}

}  // namespace vk2::markup

// The window manager's services to windows and script functions: the GUI layer's input
// settings, moving windows, and child elements made from the current interface's document.
#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "gui/windows/window_manager.h"
#include "interfaces/gui/input_settings.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/ids.h"

namespace vk2::gui {
namespace {

RefPtr<MInputSettings> InputSettings() {
  return CreateRuntimeObject<MInputSettings>(kBrintClass, kIID_MInputSettings);
}

}  // namespace

void WindowManager::RegisterKnobSettings() {
  if (RefPtr<MInputSettings> settings = InputSettings()) {
    settings->RegisterInt(u"radialknobcontrol", 0, kSettingTypeInteger);
    settings->RegisterInt(u"knobsensitivity", 150, kSettingTypeInteger);
  }
}

bool WindowManager::GetInputSetting(const TString& name, int32_t* value, int32_t* type) {
  int32_t kind = 0;
  int32_t read = 0;
  if (RefPtr<MInputSettings> settings = InputSettings())
    read = settings->ReadInt(name.c_str(), &kind);
  if (value) *value = read;
  if (type) *type = kind;
  return true;
}

bool WindowManager::SetInputSetting(const TString& name, int32_t value, int32_t type) {
  RefPtr<MInputSettings> settings = InputSettings();
  if (!settings) return true;
  int32_t known = 0;
  settings->ReadInt(name.c_str(), &known);
  // An unknown setting is registered with the value; a known one changes to it.
  if (known == 0) {
    settings->RegisterInt(name.c_str(), value, type);
  }
  settings->SetInt(name.c_str(), value);
  return true;
}

void WindowManager::MoveWindowTo(MWindowElement* window, const PointI& point) {
  // At once, not as a queued command: callers read the window's place right after.
  if (window) window->SetValue(kValueLocation, &point, sizeof point);
}

MInterfaceDefinition* WindowManager::AcquireCurrentDocument() {
  if (!hasCurrent_ || !cache_) return nullptr;
  MInterfaceDefinition* definition = nullptr;
  const LoadContext context = Context();
  if (!cache_->AcquireDefinition(current_, &definition, &context, mood_.Get()) || !definition)
    return nullptr;
  return definition;
}

bool WindowManager::CreateChildElement(RefPtr<MWindowElement>* out, const TString& name,
                                       const Guid& classId, MWindowElement* parent) {
  std::lock_guard lock(interfaceMutex_);
  if (!out) return false;
  MInterfaceDefinition* definition = AcquireCurrentDocument();
  if (!definition) return false;
  MWindowElement* made = nullptr;
  const int32_t r = definition->CreateWindowByName(classId, name.c_str(), parent, &made);
  // The element keeps its own hold on the document; the cache use goes back at once.
  cache_->ReleaseDefinition(definition);
  definition->Release();
  if (r < 0 || !made) return false;
  *out = RefPtr<MWindowElement>::Adopt(made);
  return true;
}

bool WindowManager::PlaceChildElement(RefPtr<MWindowElement>* out, const TString& name,
                                      const Guid& classId, MWindowElement* parent,
                                      MWindowElement* element, const AnchoredRect& placement,
                                      uint32_t style, int32_t mode) {
  std::lock_guard lock(interfaceMutex_);
  if (!out || !element) return false;
  MInterfaceDefinition* definition = AcquireCurrentDocument();
  if (!definition) return false;
  WindowCreateRequest request;
  request.typeClass = classId;
  request.windowName = name.c_str();
  request.createName = name.c_str();
  request.parent = parent;
  request.placementGiven = true;
  request.placement = placement;
  request.style = style;
  request.mode = mode;
  request.existing = element;
  MWindowElement* placed = nullptr;
  const int32_t r = definition->CreateWindowEx(&request, &placed);
  cache_->ReleaseDefinition(definition);
  definition->Release();
  if (r < 0 || !placed) return false;
  *out = RefPtr<MWindowElement>::Adopt(placed);
  return true;
}

}  // namespace vk2::gui

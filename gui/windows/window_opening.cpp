// Opening interface windows: the main window of the default interface, named windows of the
// current interface, windows of any package, and reopening them after the interface changed.
#include <cstdio>
#include <utility>

#include "component/module/runtime_loader.h"
#include "component/object/query.h"
#include "foundation/util/result.h"
#include "gui/state/app_state_store.h"
#include "gui/windows/window_manager.h"
#include "gui/windows/window_observer.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/ids.h"
#include "interfaces/markup/window_definition.h"
#include "interfaces/runtime/base_object.h"

namespace vk2::gui {
namespace {

constexpr int32_t kLevelError = 7;
constexpr char16_t kDefaultInterfaceKey[] = u"DefaultInterface";
constexpr char16_t kMainWindowName[] = u"main";
// Creation style: shown, plus a child's bit when a parent is given.
constexpr uint32_t kCreateStyle = 3;
constexpr uint32_t kCreateStyleChild = 8;

// The window of that name in a table, searched from the last entry (case-sensitive).
const WindowPair* FindWindowPair(const std::vector<WindowPair>& table, const TString& name) {
  for (auto it = table.rbegin(); it != table.rend(); ++it) {
    if (it->name.Equals(name, true)) return &*it;
  }
  return nullptr;
}

struct SavedPlace {
  bool given = false;
  PointI at;
  SizeI size;
};

SavedPlace ReadPlace(MAppStateStore* state) {
  SavedPlace place;
  TString text;
  if (!state || state->GetText(kWindowPositionKey, &text) < 0) return place;
  int32_t v[4] = {};
  if (std::sscanf(Utf8(text).c_str(), "%d,%d,%d,%d", &v[0], &v[1], &v[2], &v[3]) == 4) {
    place = SavedPlace{true, PointI{v[0], v[1]}, SizeI{v[2], v[3]}};
  }
  return place;
}

void StorePlace(MWindowElement* window, MAppStateStore* state) {
  PointI at;
  SizeI size;
  if (window->GetValue(kValueLocation, &at, sizeof at) != kOk ||
      window->GetValue(kValueSize, &size, sizeof size) != kOk) {
    return;
  }
  state->SetText(kWindowPositionKey,
                 TString::Format(u"%d,%d,%d,%d", at.x, at.y, size.width, size.height));
}

void SetText(MWindowElement* window, const char16_t* name, const TString& text) {
  PropertyValue value;
  value.type = kPropertyString;
  value.text = text.c_str();
  window->SetProperty(name, kPropertyString, &value);
}

void SetObject(MWindowElement* window, const char16_t* name, MUnknown* object) {
  PropertyValue value;
  value.type = kPropertyInterface;
  value.object = object;
  window->SetProperty(name, kPropertyInterface, &value);
}

}  // namespace

void WindowManager::SetDefaultInterface(const InterfaceRecord& record) {
  std::lock_guard lock(interfaceMutex_);
  current_ = record;
  hasCurrent_ = true;
  if (RefPtr<MPreferenceStore> prefs = BrintPreferences()) {
    prefs->SetString(kDefaultInterfaceKey, record.uniqueName.c_str());
  }
}

bool WindowManager::CurrentInterface(InterfaceRecord* out) {
  std::lock_guard lock(interfaceMutex_);
  if (!hasCurrent_) return false;
  if (out) *out = current_;
  return true;
}

bool WindowManager::OpenMainWindow(MWindowElement* parent) {
  std::vector<uint32_t> ids;
  InterfaceRecord first;
  if (!enumerator_ || !enumerator_->GetIds(&ids) || ids.empty() ||
      !enumerator_->FindById(ids.front(), &first)) {
    hooks_.log(kLevelError, u"Unable to find window \"main\" for creation.\n");
    return false;
  }
  InterfaceRecord chosen = first;
  if (RefPtr<MPreferenceStore> prefs = BrintPreferences()) {
    prefs->PrepString(kDefaultInterfaceKey, first.uniqueName.c_str());
    TString name;
    InterfaceRecord named;
    if (prefs->GetString(kDefaultInterfaceKey, &name) >= 0 &&
        enumerator_->FindByName(name, &named)) {
      chosen = named;
    }
  }
  SetDefaultInterface(chosen);
  if (OpenWindow(kMainWindowName, parent, nullptr)) return true;
  // The default has no main window that opens: the first installed interface that has one
  // becomes the default.
  for (uint32_t id : ids) {
    InterfaceRecord record;
    if (!enumerator_->FindById(id, &record) || record.identifier == chosen.identifier) continue;
    SetDefaultInterface(record);
    if (OpenWindow(kMainWindowName, parent, nullptr)) return true;
  }
  return false;
}

bool WindowManager::OpenWindow(const TString& name, MWindowElement* parent,
                               RefPtr<MWindowElement>* out) {
  std::lock_guard lock(interfaceMutex_);
  if (!hasCurrent_) return false;
  RefPtr<MWindowElement> window;
  if (!OpenWindowOf(current_, name, parent, &window)) return false;
  SetText(window.Get(), kAppWindowProperty, name);
  if (out) *out = std::move(window);
  return true;
}

bool WindowManager::OpenWindowOf(const InterfaceRecord& record, const TString& name,
                                 MWindowElement* parent, RefPtr<MWindowElement>* out) {
  return OpenListedWindow(record, record.frames, name, parent, out);
}

bool WindowManager::OpenRemoteWindow(const InterfaceRecord& record, const TString& name,
                                     MWindowElement* parent, RefPtr<MWindowElement>* out) {
  return OpenListedWindow(record, record.remotes, name, parent, out);
}

bool WindowManager::OpenListedWindow(const InterfaceRecord& record,
                                     const std::vector<WindowPair>& table, const TString& name,
                                     MWindowElement* parent, RefPtr<MWindowElement>* out) {
  const WindowPair* frame = FindWindowPair(table, name);
  if (!frame) {
    hooks_.log(kLevelError, TString::Format(u"Unable to find window \"%s\" for creation.\n", name));
    return false;
  }
  return CreateFromRecord(record, frame->window, parent, nullptr, out);
}

bool WindowManager::CreateFromRecord(const InterfaceRecord& record, const TString& windowName,
                                     MWindowElement* parent, MAppStateStore* state,
                                     RefPtr<MWindowElement>* out) {
  MInterfaceDefinition* definition = nullptr;
  const LoadContext context = Context();
  if (!cache_ || !cache_->AcquireDefinition(record, &definition, &context, mood_.Get()) ||
      !definition) {
    hooks_.log(kLevelError,
               TString::Format(u"Unable to find window \"%s\" for creation.\n", windowName));
    return false;
  }
  return CreateInterfaceWindow(definition, true, windowName, parent, state, nullptr, out);
}

bool WindowManager::CreateInterfaceWindow(MInterfaceDefinition* definition, bool useHeld,
                                          const TString& windowName, MWindowElement* parent,
                                          MAppStateStore* state, RefPtr<MUnknown> keep,
                                          RefPtr<MWindowElement>* out, const Guid& makeAs) {
  // A use taken from the cache goes back unless the new window keeps it.
  auto giveBack = [&] {
    if (useHeld && cache_) cache_->ReleaseDefinition(definition);
    definition->Release();
  };
  RefPtr<MAppStateStore> record(state);
  if (!record) record = AppStateStore::Create();
  const SavedPlace place = ReadPlace(record.Get());

  WindowCreateRequest request;
  request.typeClass = makeAs;
  request.windowName = windowName.c_str();
  request.parent = parent;
  request.style = kCreateStyle | (parent ? kCreateStyleChild : 0u);
  MWindowElement* raw = nullptr;
  const int32_t made = definition->CreateWindowEx(&request, &raw);
  if (made < 0 || !raw) {
    hooks_.log(
        kLevelError,
        made == kErrNotFound
            ? TString::Format(u"Unable to find window \"%s\" for creation.\n", windowName)
            : TString::Format(u"Unable to create window type: \"%s\" for creation.\n", windowName));
    giveBack();
    return false;
  }
  RefPtr<MWindowElement> window = RefPtr<MWindowElement>::Adopt(raw);
  SetObject(window.Get(), kAppStateProperty, record.Get());
  PropertyValue duration;
  duration.type = kPropertyInteger;
  duration.integer = animationDuration_;
  window->SetProperty(kAnimationProperty, kPropertyInteger, &duration);

  // A window that is no markup control, or that has no size, is of no use.
  SizeI size;
  bool usable = QueryBorrowed<MControl>(window.Get(), kIID_MControl) != nullptr;
  if (usable && place.given) {
    window->SetValue(kValueLocation, &place.at, sizeof place.at);
    if (place.size.width > 0 && place.size.height > 0) {
      window->SetValue(kValueSize, &place.size, sizeof place.size);
    }
  }
  if (usable && (window->GetValue(kValueSize, &size, sizeof size) != kOk || size.width <= 0 ||
                 size.height <= 0)) {
    usable = false;
  }
  if (!usable) {
    window->DestroyWindow();
    hooks_.log(kLevelError, TString::Format(u"Unable to create window type: \"%s\" for creation.\n",
                                            windowName));
    giveBack();
    return false;
  }
  SetObject(window.Get(), kMmlInterfaceProperty, definition);
  AddEntry(OpenEntry{window, useHeld ? definition : nullptr, std::move(keep)});
  definition->Release();  // the cache use (or the window's property) keeps it now
  if (out) *out = std::move(window);
  return true;
}

bool WindowManager::CreateWindowOf(const InterfaceRecord& record, std::optional<Guid> definitionId,
                                   std::optional<Guid> classId, const TString& name,
                                   const TString& typeName, RefPtr<MWindowElement>* out) {
  std::lock_guard lock(interfaceMutex_);
  MInterfaceDefinition* definition = nullptr;
  const LoadContext context = Context();
  if (!cache_ || !cache_->AcquireDefinition(record, &definition, &context, mood_.Get()) ||
      !definition) {
    hooks_.log(kLevelError, TString::Format(u"Unable to find window \"%s\" for creation.\n", name));
    return false;
  }
  Guid type{};
  if (definitionId) {
    type = *definitionId;
  } else if (definition->GetWindowTypeClass(typeName.c_str(), &type) < 0) {
    hooks_.log(kLevelError,
               TString::Format(u"Unable to create window type: \"%s\" for creation.\n", name));
    cache_->ReleaseDefinition(definition);
    definition->Release();
    return false;
  }
  TArray<TString> ofType;
  definition->ListWindowNames(&ofType, type);
  bool listed = false;
  for (uint32_t i = 0; i < ofType.Count() && !listed; ++i)
    listed = ofType[i].Equals(name, false);
  if (!listed) {
    hooks_.log(kLevelError, TString::Format(u"Unable to find window \"%s\" for creation.\n", name));
    cache_->ReleaseDefinition(definition);
    definition->Release();
    return false;
  }
  return CreateInterfaceWindow(definition, true, name, nullptr, nullptr, nullptr, out,
                               classId ? *classId : type);
}

void WindowManager::Attach(MWindowElement* window) {
  // The window takes itself off the list when it is destroyed, however that comes about.
  auto* base = QueryBorrowed<MBaseObject>(window, kIID_MBaseObject);
  if (!base) return;
  std::weak_ptr<Link> link = link_;
  RefPtr<WindowObserver> observer = WindowObserver::Create(window, [link](MWindowElement* gone) {
    std::shared_ptr<Link> alive = link.lock();
    if (!alive) return;
    // A window the loop destroys while the manager goes finds it gone.
    std::lock_guard hold(alive->mutex);
    if (alive->manager) alive->manager->RemoveWindow(gone);
  });
  base->AddPart(static_cast<MWindowObserver*>(observer.Get()));
}

bool WindowManager::OpenInterfaceWindow(RefPtr<MWindowElement>* out, const TString& packagePath,
                                        const TString& documentName, const TString& windowName,
                                        MWindowElement* parent) {
  std::lock_guard lock(interfaceMutex_);
  RefPtr<MResourceFile> archive =
      CreateRuntimeObject<MResourceFile>(kServiceClass, kIID_MResourceFile);
  RefPtr<MInterfaceLoader> loader =
      CreateRuntimeObject<MInterfaceLoader>(kMmlModuleClass, kIID_MInterfaceLoader);
  if (!archive || !loader) return false;
  LoadContext context = Context();
  TString error;
  int32_t loaded = kErrCannotOpen;
  if (archive->OpenFile(packagePath.c_str())) {
    loaded = loader->LoadFromPackage(archive.Get(), Utf8(documentName).c_str(), &context, &error,
                                     mood_.Get());
  }
  if (loaded < 0) {
    TString message(u"Interface Parse error:\t\n");
    if (!error.IsEmpty()) {
      message += error;
    } else if (loaded == kErrResourceNotFound) {
      message.AppendPrintf(u"Error: \"%s\" not found in package!\n", documentName);
    }
    message += u"\n\n";
    hooks_.log(kLevelError, message);
    return false;
  }
  for (int32_t i = 0; i < loader->Count(); ++i) {
    MInterfaceDefinition* definition = nullptr;
    if (loader->GetByIndex(i, &definition) < 0 || !definition) continue;
    RefPtr<MWindowElement> window;
    if (CreateInterfaceWindow(definition, false, windowName, parent, nullptr,
                              RefPtr<MUnknown>(static_cast<MUnknown*>(loader.Get())), &window)) {
      if (out) *out = std::move(window);
      return true;
    }
  }
  return false;
}

void WindowManager::ReopenWindows() {
  std::lock_guard lock(interfaceMutex_);
  if (!hasCurrent_) return;
  std::vector<RefPtr<MWindowElement>> open = GetOpenWindows();
  {
    std::lock_guard hold(windowsMutex_);
    ++quitHeld_;  // the windows close only to open again
  }
  for (const RefPtr<MWindowElement>& window : open) {
    PropertyValue name;
    if (window->GetProperty(kAppWindowProperty, &name) != kOk || name.type != kPropertyString ||
        !name.text) {
      continue;  // not one of the interface's named windows: it stays
    }
    const TString windowName(name.text);
    RefPtr<MAppStateStore> state;
    PropertyValue held;
    if (window->GetProperty(kAppStateProperty, &held) == kOk && held.object) {
      state =
          RefPtr<MAppStateStore>(static_cast<MAppStateStore*>(static_cast<MUnknown*>(held.object)));
    }
    if (!state) state = AppStateStore::Create();
    StorePlace(window.Get(), state.Get());
    // The new window goes where the old one was: under the same parent.
    MWindowElement* under = nullptr;
    window->GetValue(kValueParent, &under, sizeof under);
    const RefPtr<MWindowElement> parent(under);
    window->DestroyWindow();
    RemoveWindow(window.Get());
    const WindowPair* frame = FindWindowPair(current_.frames, windowName);
    RefPtr<MWindowElement> again;
    if (frame && CreateFromRecord(current_, frame->window, parent.Get(), state.Get(), &again)) {
      SetText(again.Get(), kAppWindowProperty, windowName);
    }
  }
  bool last = false;
  {
    std::lock_guard hold(windowsMutex_);
    last = --quitHeld_ == 0 && windows_.empty();
  }
  if (last && hooks_.quit) hooks_.quit();
}

}  // namespace vk2::gui

#include "gui/script_functions/gui_script_functions.h"

#include <malloc.h>

#include <vector>

#include "component/object/query.h"
#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"
#include "core/script/script_args.h"
#include "core/script/script_native_object.h"
#include "foundation/util/guid_text.h"
#include "gui/script_functions/file_script_functions.h"
#include "gui/script_functions/script_call.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/ids.h"

namespace vk2::gui {
namespace {

constexpr char16_t kLanguageDomain[] = u"velkora gui";
constexpr uint64_t kRasterizerPentium = uint64_t{1} << 58;
constexpr uint64_t kRasterizerMmx = uint64_t{1} << 59;
constexpr char16_t kRadialKnobs[] = u"radialknobcontrol";
constexpr char16_t kKnobSensitivity[] = u"knobsensitivity";

InterfaceEnumerator* Interfaces(const GuiScriptServices& s) {
  return s.interfaces ? s.interfaces() : nullptr;
}

int32_t InstallInterface(HandlerCall& call) {
  GuiScriptServices& s = Services(call);
  TString path;
  if (UnpackScriptArgs(call, u"W", &path) < 0) return kScriptBadArguments;
  InterfaceEnumerator* interfaces = Interfaces(s);
  if (!interfaces) return kScriptNoService;
  uint32_t added = interfaces->InstallPackage(path);
  SetResultText(call, TString::Format(u"%u interfaces loaded", added));
  return kScriptDone;
}

int32_t Exit(HandlerCall& call) {
  GuiScriptServices& s = Services(call);
  if (s.exit) s.exit();
  return kScriptDone;
}

int32_t Echo(HandlerCall& call) {
  GuiScriptServices& s = Services(call);
  RefPtr<MConsole> console = s.console ? s.console() : nullptr;
  if (!console) return kScriptNoService;
  if (ArgCount(call) == 0) return kScriptBadArguments;
  TString text;
  if (ArgIsScalar(call, 0)) {
    text = ArgText(call, 0);
  } else if (MScriptObject* value = ArgAt(call, 0)) {
    value->Describe(&text, true, 1);
  }
  console->Write(kConsoleNotice, text.c_str(), 1);
  return kScriptDone;
}

void ReloadWindows(const GuiScriptServices& s) {
  if (s.reloadWindows) s.reloadWindows();
}

int32_t LoadInterface(HandlerCall& call) {
  GuiScriptServices& s = Services(call);
  TString reference;
  if (UnpackRequired(call, u"W", &reference) < 0) return kScriptBadArguments;
  InterfaceRecord record;
  if (!LookUpInterface(Interfaces(s), reference, &record)) {
    return Report(call, TString::Format(u"Interface %s not installed.\n", reference));
  }
  if (!s.setDefaultInterface || !s.setDefaultInterface(record)) return kScriptNoService;
  ReloadWindows(s);
  return kScriptDone;
}

// The languages that have the GUI's text domain, in the service's spelling.
std::vector<TString> AvailableLanguages(const GuiScriptServices& s) {
  RefPtr<MLanguageService> service = s.languages ? s.languages() : nullptr;
  if (!service) return {};
  int32_t count = service->GetLanguages(kLanguageDomain, nullptr, 0);
  if (count <= 0) return {};
  std::vector<TString> names(static_cast<size_t>(count));
  count = service->GetLanguages(kLanguageDomain, names.data(), static_cast<uint32_t>(count));
  names.resize(static_cast<size_t>(std::max(count, 0)));
  return names;
}

int32_t ApplyLanguages(HandlerCall& call, const TArray<TString>& chosen) {
  GuiScriptServices& s = Services(call);
  if (!s.setLanguages || !s.setLanguages(chosen)) return kScriptNoService;
  ReloadWindows(s);
  return kScriptDone;
}

int32_t SetLanguage(HandlerCall& call) {
  GuiScriptServices& s = Services(call);
  const uint32_t count = ArgCount(call);
  if (count == 0) return kScriptBadArguments;
  std::vector<TString> available = AvailableLanguages(s);
  if (available.empty()) return kScriptNoService;
  TArray<TString> chosen;
  for (uint32_t i = 0; i < count; ++i) {
    const TString wanted = ArgText(call, i);
    bool found = false;
    for (const TString& name : available) {
      if (!name.Equals(wanted, false)) continue;
      chosen.Append(name);
      found = true;
    }
    if (!found) ReportScriptError(call, TString::Format(u"(%s) - Not a valid language.\n", wanted));
  }
  if (chosen.Count() == 0) return Report(call, u"No languages set.");
  return ApplyLanguages(call, chosen);
}

int32_t SetLanguageIndex(HandlerCall& call) {
  GuiScriptServices& s = Services(call);
  uint32_t index = 0;
  if (UnpackRequired(call, u"U", &index) < 0) return kScriptBadArguments;
  std::vector<TString> available = AvailableLanguages(s);
  if (index >= available.size()) return Report(call, u"Language out of range.");
  TArray<TString> chosen;
  chosen.Append(available[index]);
  return ApplyLanguages(call, chosen);
}

int32_t SetRasterizer(HandlerCall& call) {
  GuiScriptServices& s = Services(call);
  TString name;
  if (UnpackScriptArgs(call, u"w", &name) < 0) return kScriptBadArguments;
  RefPtr<MRasterizer> rasterizer = s.rasterizer ? s.rasterizer() : nullptr;
  if (!rasterizer) return kScriptNoService;
  // The modes are kept for scripts that ask; drawing is the same in every mode.
  if (name.Equals(u"pentium", false)) rasterizer->SetModeMask(kRasterizerPentium);
  if (name.Equals(u"mmx", false)) rasterizer->SetModeMask(kRasterizerMmx);
  switch (rasterizer->GetModeMask()) {
    case 0:
      SetResultText(call, u"rasterizer=reference\n");
      return kScriptDone;
    case kRasterizerPentium:
      SetResultText(call, u"rasterizer=pentium\n");
      return kScriptDone;
    case kRasterizerMmx:
      SetResultText(call, u"rasterizer=mmx\n");
      return kScriptDone;
    default:
      return Report(call, u"rasterizer=unknown\n");
  }
}

// Climbs from a window element to its top-level window.
MWindowElement* TopLevel(MWindowElement* window) {
  for (;;) {
    MWindowElement* parent = nullptr;
    if (window->GetValue(kValueParent, &parent, sizeof(parent)) < 0 || !parent) return window;
    window = parent;
  }
}

int32_t Status(HandlerCall& call) {
  GuiScriptServices& s = Services(call);
  const bool local = call.handlerTag != 0;
  TString priority;
  TString text;
  double fraction = 0.0;
  TString postText;
  TString context;
  const int32_t n =
      local ? UnpackRequired(call, u"WWdww", &priority, &text, &fraction, &postText, &context)
            : UnpackRequired(call, u"WWdw", &priority, &text, &fraction, &postText);
  if (n < 0) return kScriptBadArguments;
  StatusRecord record;
  record.text = text;
  if (n > 2) {
    record.kind = kStatusValue;
    record.fraction = fraction;
    record.rightText = postText;
  }
  static constexpr const char16_t* kPriorities[] = {u"default", u"info", u"warning", u"error"};
  bool known = false;
  for (uint32_t i = 0; i < 4; ++i) {
    if (!priority.Equals(kPriorities[i], false)) continue;
    record.subKind = i;
    known = true;
  }
  if (!known) {
    return Report(call,
                  u"Unknown status type message text for SetStatusText. Valid types are "
                  u"'default', 'info', 'warning' and 'error'.\n");
  }
  if (!local) {
    if (s.status) s.status->Broadcast(record);
    SetResultText(call, u"set");
    return kScriptDone;
  }
  RefPtr<MScriptObject> target;
  if (n > 4) {
    target = FindScriptObject(call, context);
    if (!target) return Report(call, u"The context provided is invalid.\n");
  } else {
    target = RefPtr<MScriptObject>(reinterpret_cast<MScriptObject*>(call.extra));
  }
  RefPtr<MWindowElement> window =
      target ? Query<MWindowElement>(target.Get(), kIID_MWindowElement) : nullptr;
  if (!window) {
    return Report(call,
                  u"You must be in the context of a window (i.e. have a 'this') to be able to set "
                  u"local status.\n");
  }
  MWindowElement* top = TopLevel(window.Get());
  if (RefPtr<MListenerList> listeners = Query<MListenerList>(top, kIID_MListenerList)) {
    listeners->Broadcast(record);
  }
  SetResultText(call, u"set");
  return kScriptDone;
}

int32_t LaunchRemote(HandlerCall& call) {
  GuiScriptServices& s = Services(call);
  TString reference;
  TString name;
  if (UnpackRequired(call, u"WW", &reference, &name) < 0) return kScriptBadArguments;
  InterfaceRecord record;
  if (!LookUpInterface(Interfaces(s), reference, &record)) {
    return Report(call, TString::Format(u"Interface %s not found.\n", reference));
  }
  if (!s.openRemoteWindow || !s.openRemoteWindow(record, name)) ReportScriptError(call, u"Failed");
  return kScriptDone;
}

int32_t LaunchAppWindow(HandlerCall& call) {
  GuiScriptServices& s = Services(call);
  TString name;
  if (UnpackRequired(call, u"W", &name) < 0) return kScriptBadArguments;
  if (!s.openWindow || !s.openWindow(name)) ReportScriptError(call, u"failed");
  return kScriptDone;
}

// Two forms: (interface, definition identifier, window name [, class identifier]) and
// (interface, window type name, window name [, class identifier]). The menu uses the second
// with the generic window type.
int32_t LaunchWindow(HandlerCall& call) {
  GuiScriptServices& s = Services(call);
  TString reference;
  Guid definition{};
  TString typeName;
  TString name;
  TString classText;
  WindowRequest request;
  if (UnpackRequired(call, u"WMWw", &reference, &definition, &name, &classText) >= 0) {
    request.definition = definition;
  } else if (UnpackRequired(call, u"WWWw", &reference, &typeName, &name, &classText) < 0) {
    return kScriptBadArguments;
  }
  Guid classId{};
  if (!classText.IsEmpty() && ParseGuidText(classText.view(), &classId)) request.classId = classId;
  if (!LookUpInterface(Interfaces(s), reference, &request.record)) {
    return Report(call, TString::Format(u"Interface %s not found.\n", reference));
  }
  request.name = name;
  request.typeName = typeName;
  if (!s.createWindow || !s.createWindow(request)) ReportScriptError(call, u"Failed");
  return kScriptDone;
}

bool IsNumber(const TString& text, uint32_t* value) {
  return !text.IsEmpty() && text.ParseUnsigned(value) == static_cast<int32_t>(text.Length());
}

int32_t RemoveInterface(HandlerCall& call) {
  GuiScriptServices& s = Services(call);
  TString reference;
  if (UnpackRequired(call, u"W", &reference) < 0) return kScriptBadArguments;
  InterfaceEnumerator* interfaces = Interfaces(s);
  uint32_t id = 0;
  const bool removed =
      interfaces && (IsNumber(reference, &id) ? interfaces->RemoveById(id, true)
                                              : interfaces->RemoveByName(reference, true));
  if (!removed) return Report(call, TString::Format(u"Interface %s not installed.\n", reference));
  return kScriptDone;
}

int32_t RemoveInterfacePackage(HandlerCall& call) {
  GuiScriptServices& s = Services(call);
  TString path;
  if (UnpackRequired(call, u"W", &path) < 0) return kScriptBadArguments;
  InterfaceEnumerator* interfaces = Interfaces(s);
  if (!interfaces || interfaces->RemoveInterfacesIn(path) == 0) {
    return Report(call,
                  TString::Format(u"Package %s is not registered or does not exist.\n", path));
  }
  return kScriptDone;
}

int32_t CompactMem(HandlerCall&) {
  ::malloc_trim(0);
  return kScriptDone;
}

RefPtr<MInputSettings> InputSettings(const GuiScriptServices& s) {
  return s.inputSettings ? s.inputSettings() : nullptr;
}

int32_t SetSetting(const GuiScriptServices& s, const char16_t* name, int32_t value) {
  RefPtr<MInputSettings> settings = InputSettings(s);
  if (!settings) return kScriptNoService;
  if (settings->SetInt(name, value) < 0) settings->RegisterInt(name, value, kSettingTypeInteger);
  return kScriptDone;
}

int32_t SetKnobRadialControl(HandlerCall& call) {
  bool radial = false;
  if (UnpackRequired(call, u"B", &radial) < 0) return kScriptBadArguments;
  return SetSetting(Services(call), kRadialKnobs, radial ? 1 : 0);
}

int32_t SetKnobSensitivity(HandlerCall& call) {
  uint32_t value = 0;
  if (UnpackRequired(call, u"U", &value) < 0) return kScriptBadArguments;
  return SetSetting(Services(call), kKnobSensitivity, static_cast<int32_t>(value));
}

// The getters take no argument.
int32_t ReadSetting(HandlerCall& call, const char16_t* name, int32_t* value) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  RefPtr<MInputSettings> settings = InputSettings(Services(call));
  if (!settings) return kScriptNoService;
  int32_t type = 0;
  *value = settings->ReadInt(name, &type);
  return type == kSettingTypeInteger ? kScriptDone : kScriptNoService;
}

int32_t GetKnobRadialControl(HandlerCall& call) {
  int32_t value = 0;
  int32_t r = ReadSetting(call, kRadialKnobs, &value);
  if (r == kScriptDone) SetResultText(call, value ? u"true" : u"false");
  return r;
}

int32_t GetKnobSensitivity(HandlerCall& call) {
  int32_t value = 0;
  int32_t r = ReadSetting(call, kKnobSensitivity, &value);
  if (r == kScriptDone) SetResultText(call, TString::Format(u"%d", value));
  return r;
}

int32_t CoreText(HandlerCall& call, bool buildDate) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  GuiScriptServices& s = Services(call);
  MCore* core = s.core ? s.core() : nullptr;
  if (!core) return kScriptNoService;
  TString text;
  if (buildDate) {
    core->GetBuildDate(&text);
  } else {
    core->GetVersion(&text);
  }
  SetResultText(call, text);
  return kScriptDone;
}

int32_t GetVersion(HandlerCall& call) {
  return CoreText(call, false);
}
int32_t GetBuildTime(HandlerCall& call) {
  return CoreText(call, true);
}

int32_t EnableDithering(HandlerCall& call) {
  bool on = false;
  if (UnpackRequired(call, u"B", &on) < 0) return kScriptBadArguments;
  RefPtr<MInputSettings> settings = InputSettings(Services(call));
  if (!settings) return kScriptNoService;
  settings->SetDithering(on ? 1 : 0);
  return kScriptDone;
}

// Scramble carries datum 1, Unscramble 0.
int32_t Scramble(HandlerCall& call) {
  TString text;
  if (UnpackRequired(call, u"W", &text) < 0) return kScriptBadArguments;
  GuiScriptServices& s = Services(call);
  MCore* core = s.core ? s.core() : nullptr;
  if (!core) return kScriptNoService;
  const int32_t unscramble = call.handlerTag == 0 ? 1 : 0;
  TString out;
  if (core->ScrambleText(&out, text, unscramble) < 0 || out.IsEmpty()) {
    return Report(call, u"Data to unscramble was not originally scrambled.");
  }
  SetResultText(call, out);
  return kScriptDone;
}

struct FunctionRow {
  const char16_t* name;
  ScriptHandler handler;
  uintptr_t datum;
  const char16_t* help;
};

const FunctionRow kFunctions[] = {
    {u"InstallInterface", &InstallInterface, 0,
     u"Registers a skin or interface.   Parameters:   Interface path."},
    {u"OpenFiles", &OpenFilesFunction, 0, u"Opens / plays media files"},
    {u"LoadPlaylistFile", &LoadPlaylistFileFunction, 0,
     u"Presents the user with an open file dialogue and allows them to pick a playlist. This file "
     u"is then loaded into the playlist server specified as the argument (e.g. "
     u":velkora.playlists.default). If the second argument is present and true, the items are "
     u"appended to the playlist rather than replacing the existing items."},
    {u"SavePlaylistFile", &SavePlaylistFileFunction, 0,
     u"Presents the user with an save file dialogue and allows them to pick a file name. This "
     u"file is then saved from the playlist server specified as the argument (e.g. "
     u":velkora.playlists.default)."},
    {u"Exit", &Exit, 0, u"Exit Velkora 2"},
    {u"echo", &Echo, 0, u"Echo stuff to the console"},
    {u"LoadInterface", &LoadInterface, 0,
     u"Launch a new window with the specified interface.  Parameters:  Interface name, Window "
     u"type (defaults to Frame), Window name (defaults to \"default\")."},
    {u"setlanguage", &SetLanguage, 0,
     u"Set list of languages to search for translations for in order of descending preference."},
    {u"setlanguage_index", &SetLanguageIndex, 0,
     u"Choose a language to use for translation, by numeric index.  Parameter:  Index"},
    {u"SetRasterizer", &SetRasterizer, 0,
     u"Select a graphics rendering device.  Options are: pentium or mmx "},
    {u"Status", &Status, 0,
     u"Set the status bar text of all open windows.  Parameters:  Priority, Text, [Progress "
     u"proportion, Post progress text]"},
    {u"LocalStatus", &Status, 1,
     u"Set the status bar text of this window only.  Parameters:  Priority, Text, [Progress "
     u"proportion, Post progress text], [Context]"},
    {u"LaunchRemote", &LaunchRemote, 0, u"Creates a new remote window of the name specified"},
    {u"LaunchAppWindow", &LaunchAppWindow, 0,
     u"Creates a new application window of the name specified"},
    {u"LaunchWindow", &LaunchWindow, 0, u"Creates a new application window of the name specified"},
    {u"RemoveInterface", &RemoveInterface, 0, u"Removes the specified interface"},
    {u"RemoveInterfacePackage", &RemoveInterfacePackage, 0,
     u"Removes all interfaces associated with the given package"},
    {u"CompactMem", &CompactMem, 0, u"Compact Memory"},
    {u"SetKnobRadialControl", &SetKnobRadialControl, 0,
     u"Enables or disables the alternate user interface for knobs. If true, knobs spin to face "
     u"the cursor. If false, up/down and left/right spin the knob."},
    {u"GetKnobRadialControl", &GetKnobRadialControl, 0,
     u"Returns whether knob radial control is enabled or not."},
    {u"SetKnobSensitivity", &SetKnobSensitivity, 0,
     u"Alters the sensitivity of knobs to mouse movement. The default is 500. A higher number "
     u"means that knobs will turn faster for the same movement of the mouse, a smaller number "
     u"means slower and more precise movement."},
    {u"GetKnobSensitivity", &GetKnobSensitivity, 0,
     u"Returns the current knob sensitivity setting."},
    {u"GetVersion", &GetVersion, 0, u"Returns the version string of Velkora."},
    {u"GetBuildTime", &GetBuildTime, 0,
     u"Returns the time and date that this copy of Velkora was built."},
    {u"EnableDithering", &EnableDithering, 0,
     u"Takes a boolean which indicates whether the graphics should be dithered if any display "
     u"has a bit depth less than 24."},
    {u"AddFile", &AddFileFunction, 0,
     u"Add a file to Velkora.\nAudio,Skins,Visuals, whatever.\nAddFiles( string file [, string "
     u"playlist, bool playimmediately, bool append] )\n"},
    {u"Scramble", &Scramble, 1, u"Jumbles up a string. Makes it unreadable at a glance.\n"},
    {u"Unscramble", &Scramble, 0,
     u"Reverses 'Scramble' - makes the string back to normal again.\n"},
};

}  // namespace

bool LookUpInterface(InterfaceEnumerator* interfaces, const TString& reference,
                     InterfaceRecord* out) {
  if (!interfaces) return false;
  uint32_t id = 0;
  return IsNumber(reference, &id) ? interfaces->FindById(id, out)
                                  : interfaces->FindByName(reference, out);
}

bool RegisterGuiScriptFunctions(MScriptObject* script, GuiScriptServices* services) {
  bool all = true;
  for (const FunctionRow& row : kFunctions) {
    all = AddScriptFunction(script, row.name, row.help, row.handler, services, row.datum) && all;
  }
  return all;
}

}  // namespace vk2::gui

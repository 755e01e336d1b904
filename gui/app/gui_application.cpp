#include "gui/app/gui_application.h"

#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "component/module/runtime_loader.h"
#include "core/files/file_stream.h"
#include "foundation/parse/tokenizer.h"
#include "foundation/util/guid_text.h"
#include "foundation/util/result.h"
#include "gui/app/app_paths.h"
#include "gui/app/failure_box.h"
#include "gui/app/gui_thread.h"
#include "gui/app/termination_watch.h"
#include "gui/paths/path_routines.h"
#include "gui/script_functions/application_script_services.h"
#include "gui/script_functions/file_script_functions.h"
#include "gui/script_functions/gui_script_functions.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/xml_document.h"

namespace vk2::gui {
namespace {

constexpr char16_t kGuiSection[] = u"velkora/gui";
constexpr char16_t kBrintSection[] = u"velkora/gui/brint";
constexpr char16_t kLangPathSection[] = u"velkora/gui/langpath";
constexpr char16_t kCurrentLanguage[] = u"current_language";
constexpr char16_t kTextDomain[] = u"velkora gui";
constexpr char16_t kDefaultLanguage[] = u"english";
constexpr char16_t kEmbeddingPrefix[] = u"Win32_HWND";
constexpr Guid kMenuWindowClass = MakeGuid("02908D92-3B57-422C-B14A-31BC8379F04F");

RefPtr<MPreferenceStore> OpenSection(const char16_t* section) {
  RefPtr<MPreferenceStore> prefs =
      CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  if (!prefs || prefs->OpenSection(section, 1) < 0) return nullptr;
  return prefs;
}

}  // namespace

TString DefaultDisplayState() {
  TString state = u"\"";
  TString braced = FormatGuidText(kMenuWindowClass);
  state += braced.Mid(1, static_cast<int32_t>(braced.Length()) - 2);
  state += u"\",\"VK2_NavigationBar\",\"VK2_PlayBar\",\"VK2_StatusBar\"";
  return state;
}

GuiApplication::GuiApplication() : ComObject(RefCounted::Lifetime::kOwnedElsewhere) {}

GuiApplication::~GuiApplication() {
  Teardown();
}

void GuiApplication::Log(int32_t level, const TString& text) {
  if (!console_) return;
  // A text ending in a line end closes its entry; others are continued by the next text of
  // their level ("load settings..." then "succeeded").
  uint32_t n = text.Length();
  bool closes = n > 0 && text[n - 1] == u'\n';
  TString body = closes ? text.Mid(0, static_cast<int32_t>(n - 1)) : text;
  console_->Write(level, body.c_str(), closes ? 1 : 0);
}

int32_t GuiApplication::Launch(const TArray<TString>* tokens, uintptr_t parent,
                               const char16_t* embedding) {
  if (app_) return kErrFailed;
  TArray<TString> none;
  const TArray<TString>& args = tokens ? *tokens : none;
  app_ = CreateRuntimeObject<MOmbrixApp>(kBrintClass, kIID_MOmbrixApp);
  bool ok = app_ != nullptr;
  if (!ok) {
    Log(kLogError, u"Couldn't create Ombrix App.\n");
  } else {
    std::vector<const char16_t*> raw;
    for (const TString& t : args)
      raw.push_back(t.c_str());
    app_->Launch(static_cast<int32_t>(raw.size()), raw.data(), embedding, parent);
    ok = GuiStartup(args);
    if (!ok) Log(kLogError, u"Init failed.\n");
  }
  if (ok) {
    RunInitScript();
    if (parent == 0) {
      RunOnGuiThread(app_.Get(), [this, &ok] { ok = windows_->OpenMainWindow(nullptr); });
    } else if (!embedding) {
      Log(kLogError, u"Embedding type required.\n");
      ok = false;
    } else if (WideCompare(embedding, kEmbeddingPrefix, true, 10) == 0) {
      // A foreign parent window cannot hold markup windows: the main window opens on its own.
      RunOnGuiThread(app_.Get(), [this] { windows_->OpenMainWindow(nullptr); });
    } else {
      Log(kLogError, u"Unknown embedding.\n");
      ok = false;
    }
  }
  if (ok) {
    ::malloc_trim(0);
    return kOk;
  }
  ShowFailure();
  Teardown();
  return kErrFailed;
}

void GuiApplication::ShowFailure() {
  if (!console_) return;
  uint32_t newest = 0;
  uint32_t count = 0;
  TString text;
  if (console_->GetNewest(&newest, &count) >= 0) {
    for (uint32_t index = newest + 1 - count; count > 0 && index <= newest; ++index) {
      TString entry;
      int32_t level = 0;
      if (console_->GetEntry(&entry, index, &level) < 0) continue;
      text += entry;
      text += u"\n";
    }
  }
  ShowMessageBox(u"error launching velkora...", text);
}

bool GuiApplication::GuiStartup(const TArray<TString>& tokens) {
  // The program's own folder: argv[0] may be a bare name found through PATH.
  TString current = CurrentDirectory();
  folder_ = ResolvePath(current, ProgramFolder());
  console_ = CreateRuntimeObject<MConsole>(kServiceClass, kIID_MConsole);
  Log(kLogInfo, TString::Format(u"Executable path is: \"%s\"\n", folder_));
  Log(kLogProgress, u"load settings...");
  if (!LoadSettings()) {
    Log(kLogError, u"failed\n");
    return false;
  }
  Log(kLogProgress, u"succeeded\n");

  fonts_ = std::make_unique<InterfaceFonts>();
  WindowManager::Hooks hooks;
  hooks.log = [this](int32_t level, const TString& text) { Log(level, text); };
  hooks.runScript = [this](const TString& script) {
    if (MScriptEngine* engine = ScriptEngine())
      engine->Run(script, nullptr, nullptr, nullptr, nullptr);
  };
  hooks.quit = [this] { QuitApplication(0); };
  hooks.loadContext = [this] { return DocumentContext(); };
  hooks.brintPreferences = [this] { return brintPrefs_; };
  windows_ = std::make_unique<WindowManager>(folder_, std::move(hooks));
  languages_ = CreateRuntimeObject<MLanguageService>(kServiceClass, kIID_MLanguageService);
  BridgeServices bridge;
  bridge.status = [this]() -> MListenerList* { return guiMain_ ? guiMain_->Status() : nullptr; };
  bridge.publish = [this](MUnknown* object) {
    if (guiMain_) guiMain_->AddRemoveChild(object, 1);
  };
  bridge.engine = [this] { return ScriptEngine(); };
  bridge.log = [this](int32_t level, const TString& text) { Log(level, text); };
  // The default playlist file lies in the folder that was current at start-up.
  bridge_ = std::make_unique<StatusListener>(current, std::move(bridge));
  guiMain_ = GuiMainObject::Create(this, bridge_.get());
  listening_.store(guiMain_.Get());
  enumerator_ = std::make_unique<InterfaceEnumerator>(MakePackageServices());
  cache_ = std::make_unique<InterfaceCache>(MakePackageServices());
  windows_->SetInterfaces(enumerator_.get(), cache_.get());
  if (!console_ || !windows_ || !languages_ || !guiMain_) return false;
  scriptServices_ = std::make_unique<GuiScriptServices>(ApplicationScriptServices(this));
  RegisterGuiScriptFunctions(guiMain_->Script(), scriptServices_.get());

  Log(kLogProgress, u"initialize audiosystem...");
  Log(kLogProgress, bridge_->StartCore(tokens) ? u"succeeded\n" : u"failed\n");

  guiMain_->ExecuteCommand(&tokens, 1);

  Log(kLogProgress, u"initialize visuals...");
  if (visuals_.Start(brintPrefs_.Get(), folder_, guiMain_->Script())) {
    Log(kLogProgress, u"succeeded\n");
  } else {
    Log(kLogError, u"failed\n");
  }

  Log(kLogProgress, u"load language...");
  if (!LoadLanguage()) {
    Log(kLogError, u"failed\n");
    return false;
  }
  Log(kLogProgress, u"succeeded\n");

  if (!fonts_->InitFonts(textDomain_.Get())) {
    Log(kLogError, u"Font initialization failed!\n");
    return false;
  }
  if (!guiMain_->Publish()) {
    Log(kLogError, u"Brint initialization failed!\n");
    return false;
  }
  if (!windows_->VelkoraAppInit()) {
    Log(kLogError, u"Visual interface initialization failed!\n");
    return false;
  }
  if (!enumerator_->Scan()) {
    Log(kLogError, u"Interface enumerator initialization failed!\n");
    return false;
  }
  return true;
}

PackageServices GuiApplication::MakePackageServices() {
  PackageServices services = RuntimePackageServices();
  services.loadOptions = [this] { return DocumentContext(); };
  services.languageText = [this](const char16_t* key) {
    TString text;
    if (textDomain_) textDomain_->GetText(key, &text);
    return text;
  };
  services.interfacesChanged = [this] {
    // Installs also run on the worker, while the teardown may be letting the object go.
    if (GuiMainObject* main = listening_.load()) main->NotifyListeners(kInterfacesChanged);
  };
  services.log = [this](int32_t level, const TString& text) { Log(level, text); };
  services.guiPreferences = [this] { return brintPrefs_; };
  services.programFolder = [this] { return folder_; };
  return services;
}

LoadContext GuiApplication::DocumentContext() {
  LoadContext context;
  context.language = kDefaultLanguage;
  if (guiPrefs_) guiPrefs_->GetString(kCurrentLanguage, &context.language);
  if (fonts_ && !fonts_->DisplayChoice().face.IsEmpty()) {
    context.defaultFont.kind = FontRecordKind::kFace;
    context.defaultFont.face = fonts_->DisplayChoice().face;
    context.defaultFont.size = fonts_->DisplayChoice().size;
  }
  return context;
}

bool GuiApplication::LoadSettings() {
  guiPrefs_ = OpenSection(kGuiSection);
  brintPrefs_ = OpenSection(kBrintSection);
  if (!guiPrefs_ || !brintPrefs_) return false;
  guiPrefs_->PrepString(kCurrentLanguage, kDefaultLanguage);
  brintPrefs_->PrepString(u"display_state", DefaultDisplayState().c_str());
  return true;
}

bool GuiApplication::LoadLanguage() {
  bool ok = false;
  if (!languages_) {
    Log(kLogError, u"wtf?\n");
  } else {
    languages_->LoadFile(JoinPath(folder_, u"lang/english.xml").c_str(), 0);
    TString current;
    if (!OpenSection(kLangPathSection)) {
      Log(kLogError, TString::Format(u"Unable to find  %s in prefs.\n", kLangPathSection));
    } else if (guiPrefs_->GetString(kCurrentLanguage, &current) < 0 || current.IsEmpty()) {
      Log(kLogError, TString::Format(u"Unable to find the %s entry in prefs.\n", kCurrentLanguage));
    } else {
      TokenizerSpec spec;
      InitListSpec(&spec);
      TArray<TString> names;
      TokenizeWide(current.c_str(), -1, spec, &names);
      if (languages_->SetLanguages(names.Data(), names.Count()) < 0) {
        Log(kLogError, TString::Format(u"Unable to set current language(s) to \"%s\".\n", current));
      } else {
        MTextDomain* domain = nullptr;
        if (languages_->GetTextDomain(kTextDomain, kDefaultLanguage, &domain) >= 0 && domain) {
          textDomain_ = RefPtr<MTextDomain>::Adopt(domain);
        }
        ok = textDomain_ != nullptr;
      }
    }
  }
  if (!ok) Log(kLogError, u"Loading language failed!\n");
  return ok;
}

bool GuiApplication::SetLanguages(const TArray<TString>& languages) {
  if (!languages_) return false;
  languages_->SetLanguages(languages.Data(), languages.Count());
  MTextDomain* domain = nullptr;
  if (languages_->GetTextDomain(kTextDomain, kDefaultLanguage, &domain) < 0 || !domain) {
    return false;
  }
  TString joined;
  for (const TString& name : languages) {
    if (!joined.IsEmpty()) joined += u", ";
    joined += name;
  }
  if (guiPrefs_) guiPrefs_->SetString(kCurrentLanguage, joined.c_str());
  textDomain_ = RefPtr<MTextDomain>::Adopt(domain);
  if (fonts_) fonts_->InitFonts(textDomain_.Get());
  return true;
}

void GuiApplication::RunInitScript() {
  RefPtr<MXmlDocument> document =
      CreateRuntimeObject<MXmlDocument>(kServiceClass, kIID_MXmlDocument);
  vk2::FileStream file;
  const uint8_t* bytes = nullptr;
  uint64_t size = 0;
  if (!document ||
      !file.Open(JoinPath(folder_, u"brint.xrc"), kOpenRead | kOpenShareRead | kOpenExisting) ||
      !file.GetContents(&bytes, &size)) {
    return;
  }
  const bool loaded = document->Load(bytes, size, 0) >= 0;
  file.ReleaseContents();
  if (!loaded) return;
  MXmlNode* raw = nullptr;
  if (document->Root(&raw) < 0 || !raw) return;
  RefPtr<MXmlNode> node = RefPtr<MXmlNode>::Adopt(raw);
  raw = nullptr;
  // The init element lies under the file's top element, whatever that is named.
  if (node->GetChild(nullptr, 0, kXmlElement, &raw) < 0 || !raw) return;
  RefPtr<MXmlNode> root = RefPtr<MXmlNode>::Adopt(raw);
  raw = nullptr;
  if (root->GetChild(u"init", 0, kXmlElement, &raw) < 0 || !raw) return;
  RefPtr<MXmlNode> init = RefPtr<MXmlNode>::Adopt(raw);
  raw = nullptr;
  if (init->GetChild(u"script", 0, kXmlElement, &raw) < 0 || !raw) return;
  RefPtr<MXmlNode> script = RefPtr<MXmlNode>::Adopt(raw);
  TString text;
  script->GetText(&text);
  MScriptEngine* engine = ScriptEngine();
  if (!text.IsEmpty() && engine) engine->Run(text, nullptr, nullptr, nullptr, nullptr);
}

int32_t GuiApplication::Run() {
  if (!app_) return kErrFailed;
  // SIGTERM ends the loop as a quit does, so the shutdown saves what it keeps.
  MOmbrixApp* app = app_.Get();
  TerminationWatch watch([app] { app->Quit(0); });
  return app_->Run();
}

int32_t GuiApplication::Shutdown() {
  if (app_) Teardown();
  return kErrFailed;
}

void GuiApplication::WaitForVisualWindowsToClose() {
  // The windows carry out their close requests on later turns of the loop; a visual window
  // that closed after the control object had gone would leave its group unstored. A window
  // that never closes is not waited for past the limit.
  constexpr auto kLimit = std::chrono::seconds(2);
  const auto deadline = std::chrono::steady_clock::now() + kLimit;
  bool members = true;
  while (std::chrono::steady_clock::now() < deadline) {
    RunOnGuiThread(app_.Get(), [&] { members = visuals_.HasGroupMembers(); });
    if (!members) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void GuiApplication::Teardown() {
  // The interface windows close first, so that windows that keep settings in shared objects
  // still find them while they close.
  if (windows_) RunOnGuiThread(app_.Get(), [this] { windows_->VelkoraAppDeinit(); });
  WaitForVisualWindowsToClose();
  // The visual windows have left their groups, which the control object stored as they went.
  visuals_.Stop();
  // Saves the default playlist and lets the players and playlists go while this module, which
  // named them, is loaded.
  if (bridge_) bridge_->StopCore();
  listening_.store(nullptr);
  if (guiMain_) {
    guiMain_->RemoveAllChildren();
    guiMain_->Unpublish();
    guiMain_ = nullptr;  // the worker runs the jobs still queued, then ends
  }
  textDomain_ = nullptr;
  windows_.reset();
  cache_.reset();
  enumerator_.reset();
  bridge_.reset();
  scriptServices_.reset();
  RefPtr<MConsole> console = std::move(console_);
  console = nullptr;
  fonts_.reset();
  for (RefPtr<MPreferenceStore>* prefs : {&brintPrefs_, &guiPrefs_}) {
    if (*prefs) (*prefs)->Save();
    *prefs = nullptr;
  }
  languages_ = nullptr;
  engine_ = nullptr;
  if (app_) {
    app_->Shutdown();
    app_ = nullptr;
  }
}

void GuiApplication::QuitApplication(int32_t code) {
  if (app_) app_->Quit(code);
}

int32_t GuiApplication::GetOpenWindows(TArray<MWindowElement*>* out) {
  out->Clear();
  if (windows_) windows_->CopyOpenWindows(out);
  return kOk;
}

int32_t GuiApplication::Notify(const AppNotice& notice) {
  if (notice.code != kNoticeLine && notice.code != kNoticePartial) return kErrFailed;
  if (!console_) return kOk;
  if (notice.text) {
    console_->Write(kLogNotice, notice.text, notice.code == kNoticeLine ? 1 : 0);
  } else if (notice.code == kNoticeLine) {
    console_->Write(kLogNotice, u"", 1);
  }
  return kOk;
}
int32_t GuiApplication::Reserved1() {
  return kErrCannotOpen;
}
int32_t GuiApplication::Reserved2() {
  return kErrCannotOpen;
}

MScriptEngine* GuiApplication::ScriptEngine() {
  if (!engine_) engine_ = CreateRuntimeObject<MScriptEngine>(kMmlModuleClass, kIID_MScriptEngine);
  return engine_.Get();
}
int32_t GuiApplication::InstallPackage(const TString& path) {
  if (!enumerator_) return kErrNoService;
  enumerator_->InstallPackage(path);
  return kOk;
}

MWindowElement* GuiApplication::OpenInterfaceWindow(const TString& packagePath,
                                                    const TString& documentName,
                                                    const TString& windowName) {
  RefPtr<MWindowElement> window;
  if (!windows_) return nullptr;
  RunOnGuiThread(app_.Get(), [&] {
    windows_->OpenInterfaceWindow(&window, packagePath, documentName, windowName, nullptr);
  });
  return window.Detach();
}
int32_t GuiApplication::LoadVisual(const TString& path) {
  return visuals_.LoadVisual(path);
}
int32_t GuiApplication::StepVisual(bool previous) {
  return visuals_.StepVisual(previous);
}
int32_t GuiApplication::OpenFilesDialog() {
  return scriptServices_ ? RunOpenFilesDialog(*scriptServices_) : kErrNoService;
}
int32_t GuiApplication::MinimizeAllWindows() {
  // Asked from any thread: the windows hear it on the loop thread.
  WindowManager* windows = windows_.get();
  if (windows)
    PostToGuiThread(app_.Get(), [windows] { windows->SendToAll(kWindowCommandMinimize, 1); });
  return kOk;
}
int32_t GuiApplication::ShellOpen(const TString& target) {
  return OpenWithShell(target) ? 1 : 0;
}

}  // namespace vk2::gui

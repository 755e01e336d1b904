#include "tests/core/script/support/script_harness.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"
#include "interfaces/script/script_data_entity.h"
#include "tests/support/tools.h"

namespace vk2::test {
namespace {

std::string Narrow(const TString& text) {
  NarrowString narrow = Utf8(text);
  return std::string(narrow.c_str(), narrow.Length());
}

ScriptDataEntity* DataOf(MScriptObject* object) {
  return object
             ? static_cast<ScriptDataEntity*>(object->InternalQueryInterface(kIID_ScriptDataEntity))
             : nullptr;
}

std::vector<std::string> ModuleFiles() {
  return {VK2_TEST_ORU_SO,      VK2_TEST_TESSEL_SO,     VK2_TEST_CORE_SO,
          VK2_TEST_AUDIOSYS_SO, VK2_TEST_GENERICOUT_SO, VK2_TEST_IO_SO,
          VK2_TEST_WAVE_SO,     VK2_TEST_DSOUND_SO,     VK2_TEST_WAVEOUT_SO};
}

}  // namespace

std::string ScriptValueText(MScriptObject* value) {
  if (!value) return "<null>";
  ScriptDataEntity* data = DataOf(value);
  if (!data) {
    TString uid;
    value->GetUid(&uid);
    return Narrow(uid);
  }
  if (!data->IsArray()) {
    TString text;
    data->GetValue(&text);
    return Narrow(text);
  }
  std::string out = "{";
  for (uint32_t i = 0; i < data->ArraySize(); ++i) {
    if (i) out += ", ";
    MScriptObject* member = data->GetAt(i);
    TString name;
    if (member) member->GetName(&name);
    if (!name.IsEmpty()) out += Narrow(name) + ": ";
    out += ScriptValueText(member);
  }
  return out + "}";
}

ScriptHarness::ScriptHarness(const std::string& sound) : sandbox_(ModuleFiles()) {
  sandbox_.Set("VK2_AUDIO_BACKEND", sound);
  sandbox_.Set("VK2_AUDIO_CAPTURE_FILE", CapturePath());
  sandbox_.Set("VK2_NONINTERACTIVE", "1");
  // The desktop side of file associations lands here, beside the sandbox's own config folder.
  sandbox_.Set("XDG_DATA_HOME", captureDir_.Path());
  std::filesystem::create_directories(captureDir_.Path() + "/bin");
  std::filesystem::copy_file("/bin/true", ProgramPath());
}

ScriptHarness::~ScriptHarness() {
  if (engine_) {
    for (const std::u16string& name : globals_)
      engine_->RemoveGlobal(TString(name.c_str()));
  }
  for (auto& object : published_) {
    RefPtr<MPlayerHelper> helper;
    if (object->QueryInterface(kIID_PlayerHelperScriptObject, helper.PutVoid(), 1, 0) >= 0) {
      helper->Detach();
    }
    RefPtr<MScriptContainer> container;
    if (object->QueryInterface(kIID_PlaylistsScriptContainer, container.PutVoid(), 1, 0) >= 0 ||
        object->QueryInterface(kIID_PlayersScriptContainer, container.PutVoid(), 1, 0) >= 0) {
      container->DetachManager();
    }
  }
  published_.clear();
  if (self_) self_->UnregisterFromEngine(nullptr);
  self_ = nullptr;
  if (core_) core_->RemoveAllObjects();
  core_ = nullptr;
  console_ = nullptr;
  engine_ = nullptr;
  if (started_) UnloadRuntime();
}

bool ScriptHarness::Start() {
  if (!LoadRuntime()) {
    error_ = "the runtime did not load";
    return false;
  }
  started_ = true;
  engine_ = CreateRuntimeObject<MScriptEngine>(kMmlModuleClass, kIID_MScriptEngine);
  console_ = CreateRuntimeObject<MConsole>(kServiceClass, kIID_MConsole);
  core_ = CreateRuntimeObject<MCore>(kMediaCoreClass, kIID_MCore);
  if (!engine_ || !console_ || !core_) {
    error_ = "no script engine, console or media core";
    return false;
  }
  consoleStart_ = ConsoleEnd();
  if (RuntimeCreateInstance(kMmlModuleClass, kIID_MScriptMemberRegistry, self_.PutVoid(), nullptr) <
          0 ||
      !self_) {
    error_ = "no script object";
    return false;
  }
  self_->SetName(u"test");
  self_->RegisterWithEngine(nullptr);
  engine_->AddGlobal(self_.Get(), nullptr);
  globals_.push_back(u"test");
  return Publish(kIID_PlaylistsScriptContainer, u"playlists") &&
         Publish(kIID_PlayersScriptContainer, u"players") &&
         Publish(kIID_PlayerHelperScriptObject, u"player") &&
         Publish(kIID_PrefsScriptObject, u"prefs") && Publish(kIID_FilesScriptObject, u"files");
}

bool ScriptHarness::AddTestFunction(const char16_t* name, ScriptHandler handler, uintptr_t data) {
  auto* registry =
      self_ ? static_cast<MScriptMemberRegistry*>(self_->GetMemberRegistry()) : nullptr;
  return registry &&
         registry->AddFunction(TString(name), TString(u""), true, handler, self_.Get(), data, 0);
}

bool ScriptHarness::Publish(const Guid& id, const char16_t* name) {
  RefPtr<MUnknown> object = CreateRuntimeObject<MUnknown>(kMediaCoreClass, id);
  if (!object) {
    error_ = "the media core class gave no " + Narrow(TString(name));
    return false;
  }
  const bool isContainer = id == kIID_PlaylistsScriptContainer || id == kIID_PlayersScriptContainer;
  RefPtr<MScriptContainer> container;
  if (isContainer && object->QueryInterface(id, container.PutVoid(), 1, 0) >= 0 && container) {
    container->AttachManager(core_.Get());
  }
  RefPtr<MFilesObject> files;
  if (id == kIID_FilesScriptObject &&
      object->QueryInterface(kIID_FilesScriptObject, files.PutVoid(), 1, 0) >= 0 && files) {
    files->CreateProgIdKeys(ProgramPath().c_str());
  }
  RefPtr<MPlayerHelper> helper;
  if (object->QueryInterface(kIID_PlayerHelperScriptObject, helper.PutVoid(), 1, 0) >= 0 &&
      helper) {
    helper->Attach(core_.Get(), nullptr);
  }
  RefPtr<MScriptObject> script;
  object->QueryInterface(kIID_MScriptObject, script.PutVoid(), 1, 0);
  if (!script || !engine_->AddGlobal(script.Get(), nullptr)) {
    error_ = "could not publish " + Narrow(TString(name));
    return false;
  }
  published_.push_back(object);
  globals_.push_back(name);
  return true;
}

uint32_t ScriptHarness::ConsoleEnd() {
  uint32_t newest = 0, count = 0;
  if (console_->GetNewest(&newest, &count) < 0) return 0;
  return newest + 1;
}

std::string ScriptHarness::ConsoleFrom(uint32_t first) {
  std::string out;
  const uint32_t end = ConsoleEnd();
  for (uint32_t i = first; i < end; ++i) {
    TString text;
    int32_t level = 0;
    if (console_->GetEntry(&text, i, &level) < 0) continue;
    std::string line = Narrow(text);
    if (line.empty() || line.back() != '\n') line += '\n';
    out += line;
  }
  return out;
}

std::string ScriptHarness::Console() {
  return ConsoleFrom(consoleStart_);
}

ScriptOutcome ScriptHarness::Run(const std::string& script) {
  ScriptOutcome outcome;
  const uint32_t mark = ConsoleEnd();
  RefPtr<MScriptObject> result;
  outcome.status = engine_->Run(Utf16(script), result.Put(), self_.Get(), nullptr, nullptr);
  outcome.value = ScriptValueText(result.Get());
  outcome.console = ConsoleFrom(mark);
  return outcome;
}

std::string ScriptHarness::Answer(const std::string& script) {
  const ScriptOutcome outcome = Run(script);
  if (outcome.status == 0) return outcome.value;
  // The failing function's report: "Name: message", before the script's own error report and
  // after any notice the core wrote meanwhile ("Error: ...", "playlist ... added.").
  size_t start = 0;
  while (start < outcome.console.size()) {
    const size_t end = outcome.console.find('\n', start);
    const std::string line = outcome.console.substr(start, end - start);
    if (line.rfind("Error", 0) != 0 && line.find(": ") != std::string::npos) return "!" + line;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return "!" + outcome.console.substr(0, outcome.console.find('\n'));
}

bool ScriptHarness::WaitForAnswer(const std::string& script, const std::string& expected,
                                  uint32_t timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Answer(script) != expected) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

bool ScriptHarness::WaitForConsole(const std::string& text, size_t count, uint32_t timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const std::string all = Console();
    size_t found = 0;
    for (size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1))
      ++found;
    if (found >= count) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

std::string ScriptHarness::MakeTone(const std::string& name, double hz, double seconds) {
  const std::string path = files_ / name;
  RunTool({"sox", "-n", "-r", "44100", "-c", "2", "-b", "16", path, "synth",
           std::to_string(seconds), "sine", std::to_string(static_cast<int>(hz)), "vol", "0.5"});
  return path;
}

}  // namespace vk2::test

#include "tests/script/script_fixture.h"

#include "component/script/script_report.h"
#include "script/object/script_data_object.h"
#include "script/object/script_object.h"

namespace vk2::test {

void RecordingConsole::Write(int32_t level, const TString& text) {
  std::lock_guard<std::mutex> hold(mutex_);
  lines_.push_back(Line{level, Narrow(text)});
}

void RecordingConsole::SetDiskLogging(bool enabled) {
  std::lock_guard<std::mutex> hold(mutex_);
  ++diskLoggingCalls;
  diskLogging = enabled;
}

std::vector<RecordingConsole::Line> RecordingConsole::Lines() {
  std::lock_guard<std::mutex> hold(mutex_);
  return lines_;
}

std::string RecordingConsole::All() {
  std::lock_guard<std::mutex> hold(mutex_);
  std::string all;
  for (const Line& line : lines_)
    all += line.text;
  return all;
}

void RecordingConsole::Clear() {
  std::lock_guard<std::mutex> hold(mutex_);
  lines_.clear();
}

std::string Narrow(const TString& text) {
  NarrowString narrow = Utf8(text);
  return std::string(narrow.c_str(), narrow.Length());
}

std::string Canonical(MScriptObject* value) {
  if (!value) return "<null>";
  ScriptDataObject* data = ScriptDataObject::From(value);
  if (!data) {
    TString name;
    value->GetName(&name);
    return "<object " + Narrow(name) + ">";
  }
  if (data->Count() == 0) return Narrow(data->Text());
  std::string out = "{";
  for (uint32_t i = 0; i < data->Count(); ++i) {
    if (i) out += ", ";
    TString name;
    data->MemberAt(i)->GetName(&name);
    if (!name.IsEmpty()) out += Narrow(name) + ": ";
    out += Canonical(data->MemberAt(i));
  }
  return out + "}";
}

void ScriptTest::SetUp() {
  console_ = std::make_shared<RecordingConsole>();
  clockInstalled_ = std::make_unique<ScopedClock>(clock_);
  ScriptModuleConfig config;
  config.console = console_;
  config.uidSeed = 0x100;
  config.timerWorker = false;
  ScriptModule::Configure(config);
  engine_ = ScriptModule::Engine();
  ASSERT_NE(engine_, nullptr);
}

void ScriptTest::TearDown() {
  ScriptModule::Shutdown();
  ScriptModule::Configure(ScriptModuleConfig{});
  clockInstalled_.reset();
}

int32_t ScriptTest::Run(const std::string& script, MScriptObject* self, std::string* value) {
  RefPtr<MScriptObject> result;
  int32_t status = engine_->Run(Utf16(script), result.Put(), self, nullptr, nullptr);
  if (value) *value = Canonical(result.Get());
  return status;
}

std::string ScriptTest::Value(const std::string& script, MScriptObject* self) {
  std::string value;
  int32_t status = Run(script, self, &value);
  EXPECT_EQ(status, 0) << script << "\n" << console_->All();
  return value;
}

std::string ScriptTest::FirstError(const std::string& script, MScriptObject* self) {
  console_->Clear();
  int32_t status = Run(script, self);
  EXPECT_EQ(status, -9) << script;
  for (const auto& line : console_->Lines()) {
    if (line.level != 7) continue;
    // "Error in script: \n<marked text>\n\t<message>\nError occured in:..."
    size_t tab = line.text.find("\n\t");
    if (line.text.rfind("Error in script: ", 0) == 0 && tab != std::string::npos) {
      size_t end = line.text.find("\nError occured in:", tab);
      return line.text.substr(tab + 2, end - tab - 2);
    }
  }
  return "<no error>";
}

RefPtr<MScriptObject> ScriptTest::MakeObject(const std::string& name, MScriptObject* parent) {
  RefPtr<ScriptObject> object = ScriptObject::Make();
  object->SetName(Utf16(name));
  object->RegisterWithEngine(engine_);
  if (parent) {
    static_cast<MScriptMemberRegistry*>(parent->GetMemberRegistry())->AddChild(object.Get());
  }
  return RefPtr<MScriptObject>(object.Get());
}

}  // namespace vk2::test

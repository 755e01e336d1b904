#include "gui/console_window/console_command.h"

#include "component/script/script_report.h"
#include "foundation/util/ref_ptr.h"
#include "gui/console_window/console_levels.h"
#include "interfaces/runtime/console.h"
#include "interfaces/script/script_engine.h"
#include "interfaces/script/script_object.h"

namespace vk2::gui {
namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// One console entry per line: the console closes the entry itself, so the line's own feed is
// left off rather than kept as a blank tail.
void WriteLine(MConsole* console, int32_t level, const TString& text) {
  const uint32_t length = text.Length();
  TString line;
  line.Assign(text.c_str(),
              length > 0 && text[length - 1] == u'\n' ? static_cast<int32_t>(length) - 1 : -1);
  console->Write(level, line.c_str(), 1);
}

}  // namespace

TString ConsoleCommandLine(const TString& typed) {
  TString line = typed.Trimmed();
  if (line.Length() >= 2 && line[0] == u'?' && IsBlank(line[1])) {
    const TString name(line.c_str() + 2);
    const bool endsWithDot = !name.IsEmpty() && name[name.Length() - 1] == u'.';
    return TString::Format(endsWithDot ? u"%shelp()" : u"%s.help()", name);
  }
  return line;
}

void RunConsoleCommand(MConsole* console, MScriptEngine* engine, MScriptObject* context,
                       const TString& typed) {
  if (!engine || !context) return;
  if (typed.Equals(TString(u"All your base"), false)) {
    if (console) {
      WriteLine(console, kConsoleLevelEcho, typed);
      WriteLine(console, kConsoleLevelResult, TString(u" ARE BELONG TO US"));
    }
    return;
  }
  const TString command = ConsoleCommandLine(typed);
  if (console) WriteLine(console, kConsoleLevelEcho, TString::Format(u"--> %s", command));
  MScriptObject* raw = nullptr;
  engine->Run(command, &raw, context, context, context);
  auto result = RefPtr<MScriptObject>::Adopt(raw);
  if (!result || !console) return;
  TString value;
  ScriptDataEntity* data = AsDataEntity(result.Get());
  if (data) data->GetValue(&value);
  // A script that gave nothing (no value, not an array) writes no empty line.
  if (value.IsEmpty() && (!data || (!data->IsArray() && !data->IsScalar()))) return;
  TString shown;
  result->Describe(&shown, true, 0);
  WriteLine(console, kConsoleLevelResult, shown);
}

}  // namespace vk2::gui

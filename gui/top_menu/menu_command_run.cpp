#include "gui/top_menu/menu_command_run.h"

#include "interfaces/script/script_engine.h"

namespace vk2::gui {

bool RunMenuCommand(const MenuCommandTable& commands, int32_t id, MScriptEngine* engine,
                    MScriptObject* context) {
  TString script;
  if (!engine || !context || !commands.Find(id, &script)) return false;
  return engine->Run(script, nullptr, context, context, context) == 0;
}

}  // namespace vk2::gui

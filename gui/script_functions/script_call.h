// What every `velkora` function handler shares: its services from the call, failure reports
// under the function's name, and script objects named by path.
#pragma once

#include <cstdint>
#include <type_traits>

#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"
#include "core/script/script_args.h"
#include "core/script/script_errors.h"
#include "foundation/util/ref_ptr.h"
#include "gui/script_functions/gui_script_services.h"
#include "interfaces/script/handler_call.h"

namespace vk2::gui {

inline constexpr int32_t kScriptNoService = -2;

inline GuiScriptServices& Services(const HandlerCall& call) {
  return *reinterpret_cast<GuiScriptServices*>(call.handlerData);
}

// Converts the call's arguments by `format`: the number converted, or -1 when they do not
// convert or a required one (upper case) is missing.
template <class... Outs>
int32_t UnpackRequired(const HandlerCall& call,
                       ScriptArgFormat<std::type_identity_t<Outs>...> format, Outs... outs) {
  const int32_t converted = UnpackScriptArgs(call, format, outs...);
  return converted >= 0 && HasRequiredArgs(call, format.Text()) ? converted : -1;
}

// Reports "name: message" and answers kScriptReported.
inline int32_t Report(HandlerCall& call, const TString& message) {
  ReportScriptError(call, message);
  return kScriptReported;
}

// The object a script path (":velkora.playlists.default") or UID text names, or null.
RefPtr<MScriptObject> FindScriptObject(HandlerCall& call, const TString& path);

}  // namespace vk2::gui

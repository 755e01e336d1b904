// What every `velkora` function handler shares: its services from the call, failure reports
// under the function's name, and script objects named by path.
#pragma once

#include <cstdint>

#include "component/script/script_report.h"
#include "core/script/script_errors.h"
#include "foundation/util/ref_ptr.h"
#include "gui/script_functions/gui_script_services.h"
#include "interfaces/script/handler_call.h"

namespace vk2::gui {

inline constexpr int32_t kScriptNoService = -2;

inline GuiScriptServices& Services(const HandlerCall& call) {
  return *reinterpret_cast<GuiScriptServices*>(call.handlerData);
}

// Reports "name: message" and answers kScriptReported.
inline int32_t Report(HandlerCall& call, const TString& message) {
  ReportScriptError(call, message);
  return kScriptReported;
}

// The object a script path (":velkora.playlists.default") or UID text names, or null.
RefPtr<MScriptObject> FindScriptObject(HandlerCall& call, const TString& path);

}  // namespace vk2::gui

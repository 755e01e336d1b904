// The frame every core script handler shares: its target from the call's user data, the
// argument count check, and failure reports under the function's name.
#pragma once

#include <cstdint>

#include "component/script/script_report.h"
#include "core/script/script_args.h"
#include "core/script/script_errors.h"
#include "interfaces/script/handler_call.h"

namespace vk2 {

template <class Target>
Target* HandlerTarget(const HandlerCall& call) {
  return reinterpret_cast<Target*>(call.handlerData);
}

// Reports "name: message" on the call's error sink and answers kScriptReported.
inline int32_t ReportFailure(HandlerCall& call, const TString& message) {
  ReportScriptError(call, message);
  return kScriptReported;
}

// Reports `prefix` followed by the error service's text for `code`.
inline int32_t ReportCode(HandlerCall& call, MErrorRegistry* errors, int32_t code,
                          const char16_t* prefix = u"") {
  TString message(prefix);
  message += ErrorText(errors, code);
  return ReportFailure(call, message);
}

}  // namespace vk2

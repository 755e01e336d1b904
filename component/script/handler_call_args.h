// A native call's arguments as the argument unpacker reads them, so every handler checks and
// converts its arguments in one step: UnpackScriptArgs(call, u"Wi", &name, &count).
#pragma once

#include <type_traits>

#include "component/script/script_arg_list.h"
#include "component/script/unpack_script_args.h"
#include "interfaces/script/handler_call.h"

namespace vk2 {

class HandlerCallArgs final : public ScriptArgList {
 public:
  explicit HandlerCallArgs(const HandlerCall& call) : params_(call.params) {}

  uint32_t Count() const override;
  int32_t ArrayLength(uint32_t i) const override;
  TString ItemText(uint32_t i) const override;
  TString ElementText(uint32_t i, uint32_t j) const override;

 private:
  MScriptObject* params_;
};

template <class... Outs>
int32_t UnpackScriptArgs(const HandlerCall& call,
                         ScriptArgFormat<std::type_identity_t<Outs>...> format, Outs... outs) {
  return UnpackScriptArgs(static_cast<const ScriptArgList&>(HandlerCallArgs(call)), format,
                          outs...);
}

}  // namespace vk2

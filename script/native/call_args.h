// Reads a native call's arguments by a format: one letter per argument, upper case required and
// lower case optional (W text, B flag, I int, U unsigned, D number). Returns the number read or
// -1; outputs of absent optional arguments keep their values.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/script/handler_call.h"

namespace vk2 {

int32_t UnpackCallArgsList(HandlerCall& call, const char* format, void* const* outs,
                           uint32_t outCount);

template <class... Outs>
int32_t UnpackCallArgs(HandlerCall& call, const char* format, Outs*... outs) {
  void* const list[] = {static_cast<void*>(outs)..., nullptr};
  return UnpackCallArgsList(call, format, list, sizeof...(Outs));
}

}  // namespace vk2

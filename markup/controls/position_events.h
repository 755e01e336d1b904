// The position events of the fill bar and the spin button: the part's notifications 0x102
// (may the position change?), 0x103 (it changed) and 0x104 (the change is over), and the
// fill bar's hover query 0x1007, turned into the window's script events.
#pragma once

#include <cstdint>
#include <optional>

#include "foundation/util/ref_ptr.h"
#include "interfaces/script/script_object.h"
#include "markup/controls/position_methods.h"

namespace vk2::markup {

// A scope holding "params" with one member that carries "int" and "real", as text.
RefPtr<MScriptObject> MakePositionParams(int32_t intPos, double realPos);

// Runs the script event `name` and reads its result as a boolean ("true"/"false", or a number:
// nonzero is true; any other text is false). Empty when the window has no such handler.
std::optional<bool> FireScriptQuery(MScriptObject* script, const char16_t* name,
                                    MScriptObject* params = nullptr);

// The event of a position notification (0x102 to 0x104), or null for another code.
const char16_t* PositionEventName(uint32_t code);

// Fires the event of a position notification; the answer to the part: the handler's result,
// true (1) without a handler. `intPos`/`realPos` are the position 0x103 reports.
int32_t FirePositionEvent(MScriptObject* script, uint32_t code, int32_t intPos, double realPos);

// A control's answer to its part's notification `code`: the position event's answer for 0x102
// to 0x104 when the control has a script object; empty otherwise (the part handles it).
std::optional<int32_t> AnswerPositionNotification(PositionOwner& owner, MScriptObject* script,
                                                  uint32_t code, uintptr_t argument);

}  // namespace vk2::markup

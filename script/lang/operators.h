// How operators read numbers and truth out of values, compare them and build new values.
// Every operator makes a new value (or answers a shared truth value) and leaves its operands
// as they were, except the in-place append of "|="; they raise script errors for operands
// they cannot take.
#pragma once

#include "foundation/util/ref_ptr.h"
#include "interfaces/script/script_object.h"
#include "script/object/script_data_object.h"

namespace vk2 {

enum class Order { kEqual, kLess, kGreater, kUnordered };
enum class ArithmeticOp { kAdd, kSubtract, kMultiply, kDivide, kMod };

// Truth of any value: an object or a function is true, null is false, data items by DataTruth.
bool TruthOf(MScriptObject* value);
// An array is true; "", "false" and numbers equal to 0 are false; any other text is true.
bool DataTruth(ScriptDataObject* item);

Order CompareValues(MScriptObject* left, MScriptObject* right);

RefPtr<ScriptDataObject> Arithmetic(ArithmeticOp op, ScriptDataObject* left,
                                    ScriptDataObject* right);
RefPtr<ScriptDataObject> Concatenate(ScriptDataObject* left, ScriptDataObject* right);
// "left |= right" without copying `left`: the same value Concatenate makes, put in `left` in
// place. False (and nothing changed) where the general form must run instead: a read-only
// `left`, `right` being `left`, or operands that the general form refuses.
bool ConcatenateInPlace(ScriptDataObject* left, ScriptDataObject* right);
// The shared false value for a true operand, else the shared true value.
MScriptObject* LogicalNot(MScriptObject* value);
RefPtr<ScriptDataObject> InvertSign(MScriptObject* value);

// The two shared truth values (module-lifetime objects, handed out without a reference).
MScriptObject* TruthValue(bool value);

// The "%" operands: a double truncated toward zero to 32 bits, saturating (NaN gives 0).
int32_t TruncateToInt32(double value);

}  // namespace vk2

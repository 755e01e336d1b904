// Reading a native call's arguments and writing its result, the way every core script function
// does: arguments are counted, scalars read as text, ids, booleans and numbers through the
// system's locale-free readers, and results are texts, arrays and structures of named texts.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/script/handler_call.h"
#include "interfaces/script/script_object.h"

namespace vk2 {

uint32_t ArgCount(const HandlerCall& call);
// The argument's object (no reference), or null past the end.
MScriptObject* ArgAt(const HandlerCall& call, uint32_t index);
bool ArgIsScalar(const HandlerCall& call, uint32_t index);
// The text of a scalar argument (empty for an array or a missing one).
TString ArgText(const HandlerCall& call, uint32_t index);

// The number of required descriptors of an unpacker format ("WWb" has 2). The unpacker lets a
// call without arguments through whatever the format asks; these functions refuse it instead.
uint32_t RequiredArgCount(const char16_t* format);
bool HasRequiredArgs(const HandlerCall& call, const char16_t* format);

// An id, index, key or revision: "0x" hexadecimal, else decimal, with a leading '-' wrapping
// modulo 2^32 (so "-1" is the last index). False when no digit is read.
bool ReadIdText(const TString& text, uint32_t* out);
// "0" and "false" (any case) are false, any other non-empty text true.
bool ReadBoolText(const TString& text, bool* out);
// A finite number ("0x" hexadecimal integer, else a decimal real). False for anything else.
bool ReadNumberArg(const TString& text, double* out);
// A 32-bit integer ("0x" hexadecimal, else decimal). False when no digit is read.
bool ReadIntegerText(const TString& text, int32_t* out);

// The texts one after the other.
TString Joined(std::initializer_list<TString> parts);

// "%#08x": the way item ids, lock keys and event ids print ("0x0000001a").
TString FormatId(uint32_t id);

// A new empty data item, or null without the script module.
RefPtr<MScriptObject> NewDataItem();
// Sets the text of the call's result item.
void SetResultText(HandlerCall& call, const TString& text);
// Appends a named (or, with an empty name, unnamed) text member to a data item.
void AppendText(MScriptObject* item, const char16_t* name, const TString& value);
// Appends a new named array member and returns it (no reference; the parent keeps it).
MScriptObject* AppendArray(MScriptObject* item, const char16_t* name);

}  // namespace vk2

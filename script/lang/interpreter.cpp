// The interpreter's frame of work: the token cursor, local lookups and the whole script. Its
// statements and expressions live in interpreter_statements.cpp and interpreter_expressions.cpp.
#include "script/lang/interpreter.h"

#include "script/lang/script_error.h"
#include "script/module_globals.h"
#include "script/object/script_data_object.h"
#include "script/object/script_node.h"
#include "script/object/tstring_hasher.h"

namespace vk2 {

Interpreter::Interpreter(ScriptEngine* engine, const TokenList& tokens, MScriptObject* self,
                         MScriptObject* frame)
    : engine_(engine),
      list_(tokens),
      tokens_(tokens.tokens.data()),
      count_(static_cast<uint32_t>(tokens.tokens.size())),
      self_(self),
      frame_(frame) {}

Value Interpreter::FindLocal(MScriptObject* frame, const TString& name, bool create) {
  return FindLocal(frame, name, HashName(name), create);
}

Value Interpreter::FindLocal(MScriptObject* frame, const TString& name, size_t hash, bool create) {
  MScriptObject* objectBase = SharedObjectBase();
  MScriptObject* dataBase = SharedDataBase();
  // The running script holds its frame, and each frame holds its base, so the walk needs no
  // references of its own.
  MScriptObject* walk = frame;
  while (walk && walk != objectBase && walk != dataBase) {
    ScriptNode* node = ScriptNode::From(walk);
    if (!node) break;
    // Frames never lose their variables while a script runs, so the value is borrowed.
    if (MScriptObject* found = node->OwnChildBorrowed(name, hash)) return Value::Borrow(found);
    walk = node->BaseRaw();
  }
  if (!create) return nullptr;
  ScriptNode* node = ScriptNode::From(frame);
  return node ? node->CreateDataChild(name) : nullptr;
}

Value Interpreter::RunScript() {
  Value value;
  if (ExecSequence(&value)) return returnValue_;
  // A stray "}" would otherwise end the script quietly with the rest unread.
  if (Kind() == kTokCloseBrace) RaiseScriptError(u"Unmatched } in script.");
  return value;
}

}  // namespace vk2

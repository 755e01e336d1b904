// Runs script text as it parses it: expressions by recursive descent, statements straight from
// the token list, loops by moving back to their body. One interpreter serves one Run.
// interpreter.cpp holds the cursor and the whole script, interpreter_statements.cpp the
// statements, interpreter_expressions.cpp the expressions.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/util/ref_ptr.h"
#include "interfaces/script/script_object.h"
#include "script/lang/script_error.h"
#include "script/lang/token_cache.h"
#include "script/lang/value.h"
#include "script/object/script_data_object.h"

namespace vk2 {

class ScriptEngine;

class Interpreter {
 public:
  Interpreter(ScriptEngine* engine, const TokenList& tokens, MScriptObject* self,
              MScriptObject* frame);

  // The whole script: a statement sequence up to the end of the text. Its value, or the value
  // given to return.
  Value RunScript();
  // The read position just after the current token: where an error report puts its marker.
  uint32_t Position() const { return tokens_[index_].end; }

  // A `$` name in a frame: the frame and its scopes (the callers' frames) are searched, ending
  // before the shared built-in base objects; created in the frame when missing and asked to.
  static Value FindLocal(MScriptObject* frame, const TString& name, bool create);
  static Value FindLocal(MScriptObject* frame, const TString& name, size_t hash, bool create);

 private:
  struct Operand {
    Value value;
    Value owner;  // where the value was found as a member; null: the script's this object
    bool lvalue = false;
  };
  // Sets the skip flag for a stretch of parsing and restores it after.
  class SkipScope {
   public:
    SkipScope(Interpreter* interpreter, bool skip)
        : interpreter_(interpreter), saved_(interpreter->skip_) {
      interpreter_->skip_ = skip;
    }
    ~SkipScope() { interpreter_->skip_ = saved_; }
    SkipScope(const SkipScope&) = delete;
    SkipScope& operator=(const SkipScope&) = delete;

   private:
    Interpreter* interpreter_;
    bool saved_;
  };

  // A new empty value: what a statement or a call without a value leaves.
  static Value NewEmpty() { return Value(ScriptDataObject::Make()); }

  const Token& Cur() const { return tokens_[index_]; }
  int32_t Kind() const { return tokens_[index_].kind; }
  void Advance() {
    if (index_ + 1 < count_) ++index_;
  }
  void Expect(int32_t kind, const char16_t* message) const {
    if (Kind() != kind) RaiseScriptError(message);
  }

  // Statements. Those answering bool answer true when a return ended the script.
  bool ExecSequence(Value* value);
  bool Block(bool execute, Value* value);
  void PassOverBlock();
  bool IfStatement();
  bool ForeachStatement();
  bool WhileStatement();
  bool ForStatement();
  Value ReturnStatement();

  // Expressions, loosest first.
  Value Evaluate();
  Value Comparison();
  Value Additive();
  Value Multiplicative();
  Value Postfix();
  void Primary(Operand& op);
  void ResolveName(const TString& name, Operand& op);
  Value CallValue(Operand& op);
  Value ArrayLiteral();
  Value LiteralValue(uint32_t index);
  // The variable a "$" token names in this run's frame chain (made in the frame when missing).
  Value Local(uint32_t index);
  RefPtr<MScriptObject> Binary(int32_t kind, MScriptObject* left, MScriptObject* right);
  void AddToLvalue(Operand& op, int32_t amount);

  ScriptEngine* engine_;
  const TokenList& list_;
  const Token* tokens_;
  uint32_t count_;
  uint32_t index_ = 0;
  MScriptObject* self_;
  MScriptObject* frame_;
  bool skip_ = false;
  Value returnValue_;  // set by the return statement that ends the script
  // What each "$" token found, by token index: variables never leave the frames of a running
  // script and a name found once is found the same way again, so loops look each up once.
  std::vector<MScriptObject*> locals_;
};

}  // namespace vk2

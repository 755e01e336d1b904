// Statements, executed as they are parsed: sequences, blocks, return, if and the three loops.
// Loops run their body again by moving the cursor back to it; a body that does not run is
// passed over to the closing brace found when the text was read into tokens.
#include "script/engine/run_budget.h"
#include "script/engine/run_limits.h"
#include "script/lang/interpreter.h"
#include "script/lang/operators.h"
#include "script/lang/script_error.h"
#include "script/object/script_data_object.h"

namespace vk2 {

bool Interpreter::ExecSequence(Value* value) {
  RecursionGuard guard;
  Value current;
  bool needSeparator = false;
  for (;;) {
    int32_t kind = Kind();
    if (kind == kTokEnd || kind == kTokCloseBrace) break;
    if (kind == kTokSemicolon) {
      needSeparator = false;
      Advance();
      continue;
    }
    if (needSeparator) RaiseScriptError(u"Semicolons must seperate statements.");
    bool returned = false;
    switch (kind) {
      case kTokForeach:
        returned = ForeachStatement();
        current = nullptr;
        break;
      case kTokFor:
        returned = ForStatement();
        current = nullptr;
        break;
      case kTokWhile:
        returned = WhileStatement();
        current = nullptr;
        break;
      case kTokIf:
        returned = IfStatement();
        current = nullptr;
        break;
      case kTokReturn: {
        Value result = ReturnStatement();
        if (!skip_) {
          // A return ends every enclosing block, loop and condition up to the Run.
          returnValue_ = result;
          return true;
        }
        break;
      }
      default:
        current = Evaluate();
        needSeparator = true;
        break;
    }
    if (returned) return true;
  }
  *value = current ? current : (skip_ ? nullptr : NewEmpty());
  return false;
}

bool Interpreter::Block(bool execute, Value* value) {
  if (!execute) {
    PassOverBlock();
    return false;
  }
  Advance();  // "{"
  if (ExecSequence(value)) return true;
  Expect(kTokCloseBrace, u"Missing } in block!");
  Advance();
  return false;
}

void Interpreter::PassOverBlock() {
  uint32_t close = Cur().matchingBrace;
  if (close == kNoMatchingBrace) {
    // Counting braces would have read on to the last token: the end of the text, or the bad
    // token that ended the list.
    index_ = count_ - 1;
    if (Kind() == kTokError) RaiseScriptError(u"Some kind of bad token or something.");
    RaiseScriptError(u"Missing } in block!");
  }
  index_ = close;
  Advance();
}

Value Interpreter::ReturnStatement() {
  Advance();  // return
  Value result;
  if (Kind() == kTokOpenParen) {
    Advance();
    result = Evaluate();
    Expect(kTokCloseParen, u"Missing close parenthesis in return statement.");
    Advance();
  } else if (!skip_) {
    result = NewEmpty();
  }
  Expect(kTokSemicolon, u"Missing semicolon after return statement.");
  Advance();
  return result;
}

bool Interpreter::IfStatement() {
  const bool outerSkip = skip_;
  Advance();  // if
  Expect(kTokOpenParen, u"Missing parenthesis after if.");
  Advance();
  Value condition = Evaluate();
  Expect(kTokCloseParen, u"Unmatched parenthesis in if statement.");
  Advance();
  Expect(kTokOpenBrace, u"If blocks require curly braces.");
  bool taken = !outerSkip && TruthOf(condition.Get());
  Value ignored;
  {
    SkipScope scope(this, outerSkip || !taken);
    if (Block(true, &ignored)) return true;
  }
  while (Kind() == kTokElse) {
    Advance();
    if (Kind() == kTokIf) {
      Advance();
      Expect(kTokOpenParen, u"Missing parenthesis after else if.");
      Advance();
      bool evaluate = !outerSkip && !taken;
      {
        SkipScope scope(this, !evaluate);
        condition = Evaluate();
      }
      Expect(kTokCloseParen, u"Unmatched parenthesis in else if statement.");
      Advance();
      Expect(kTokOpenBrace, u"Else-if blocks require curly braces.");
      bool run = evaluate && TruthOf(condition.Get());
      SkipScope scope(this, !run);
      if (Block(true, &ignored)) return true;
      taken = taken || run;
      continue;
    }
    Expect(kTokOpenBrace, u"Else blocks require curly braces.");
    bool run = !outerSkip && !taken;
    SkipScope scope(this, !run);
    if (Block(true, &ignored)) return true;
    break;
  }
  return false;
}

bool Interpreter::ForeachStatement() {
  Advance();  // foreach
  Expect(kTokOpenParen, u"Missing parenthesis in foreach statement.");
  Advance();
  Expect(kTokLocal, u"Missing local variable in foreach statement.");
  Value variable = Local(index_);
  Advance();
  Expect(kTokIn, u"Missing keyworkd 'in' in foreach statement.");
  Advance();
  Value list = Evaluate();
  ScriptDataObject* array = nullptr;
  if (!skip_) {
    array = ScriptDataObject::From(list.Get());
    if (!array) RaiseScriptError(u"Strange ForEach error - loop variable must be a data value");
    // An empty value is an empty array: no pass. Any other scalar is not a list.
    if (array->Count() == 0 && !array->Text().IsEmpty()) {
      RaiseScriptError(u"ForEach only applies to arrays.");
    }
  }
  Expect(kTokCloseParen, u"Mismatched parentheses in foreach statement.");
  Advance();
  Expect(kTokOpenBrace, u"ForEach blocks require curly braces.");
  const uint32_t body = index_;
  if (!skip_) {
    for (uint32_t i = 0; i < array->Count(); ++i) {
      CountScriptStep();
      // Hold the member: assigning it may free the array's members (foreach ($a in $a)).
      Value member(array->MemberAt(i));
      if (variable) variable->Assign(member.Get(), false);
      Value ignored;
      if (Block(true, &ignored)) return true;
      index_ = body;
    }
  }
  PassOverBlock();
  return false;
}

bool Interpreter::WhileStatement() {
  Advance();  // while
  Expect(kTokOpenParen, u"Missing parenthesis in While statement.");
  Advance();
  const uint32_t conditionStart = index_;
  Value condition = Evaluate();
  Expect(kTokCloseParen, u"Mismatched parentheses in While statement.");
  Advance();
  Expect(kTokOpenBrace, u"While blocks require curly braces.");
  if (!skip_) {
    for (;;) {
      ScriptDataObject* data = ScriptDataObject::From(condition.Get());
      if (!data || !DataTruth(data)) break;
      CountScriptStep();
      Value ignored;
      if (Block(true, &ignored)) return true;
      index_ = conditionStart;
      condition = Evaluate();
      Expect(kTokCloseParen, u"Mismatched parentheses in While statement.");
      Advance();
      Expect(kTokOpenBrace, u"While blocks require curly braces.");
    }
  }
  PassOverBlock();
  return false;
}

bool Interpreter::ForStatement() {
  Advance();  // for
  Expect(kTokOpenParen, u"Missing parenthesis in foreach statement.");
  Advance();
  Expect(kTokLocal, u"Missing local variable in foreach statement.");
  Value variable = Local(index_);
  Advance();
  Expect(kTokIn, u"Missing keyworkd 'in' in foreach statement.");
  Advance();
  auto numeric = [this](const Value& value, const char16_t* message) {
    double number = 0;
    if (skip_) return number;
    ScriptDataObject* data = ScriptDataObject::From(value.Get());
    if (!data || !data->Number(&number)) RaiseScriptError(message);
    return number;
  };
  double start = numeric(Evaluate(), u"For loop start must evaluate to a numeric result.");
  Expect(kTokTo, u"Missing 'to' keyword in for loop.");
  Advance();
  double end = numeric(Evaluate(), u"For loop end must evaluate to a numeric result.");
  double step = 1;
  if (Kind() == kTokStep) {
    Advance();
    step = numeric(Evaluate(), u"For loop step must evaluate to a numeric result.");
  }
  Expect(kTokCloseParen, u"Mismatched parentheses in for statement.");
  Advance();
  Expect(kTokOpenBrace, u"For blocks require curly braces.");
  const uint32_t body = index_;
  if (!skip_) {
    // A loop whose counter cannot pass the end would never stop.
    if (start <= end && (step <= 0 || start + step == start)) {
      RaiseScriptError(u"For loop step must move the counter toward the end");
    }
    ScriptDataObject* data = ScriptDataObject::From(variable.Get());
    for (double counter = start; counter <= end;) {
      CountScriptStep();
      if (data && !data->ReadOnly()) {
        data->SetNumber(counter);
      } else if (variable) {
        variable->Assign(ScriptDataObject::MakeNumber(counter).Get(), false);
      }
      Value ignored;
      if (Block(true, &ignored)) return true;
      index_ = body;
      double next = counter + step;
      if (next == counter) RaiseScriptError(u"For loop step must move the counter toward the end");
      counter = next;
    }
  }
  PassOverBlock();
  return false;
}

}  // namespace vk2

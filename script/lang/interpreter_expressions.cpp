// Expressions by recursive descent, loosest first: logical operators, comparisons, sums,
// products and prefixes, then postfix forms (calls, indexes, members, assignments, steps) over
// a primary (parentheses, literals, names, locals, arrays).
#include "component/script/script_text.h"
#include "script/engine/run_budget.h"
#include "script/engine/run_limits.h"
#include "script/engine/script_engine.h"
#include "script/lang/interpreter.h"
#include "script/lang/operators.h"
#include "script/lang/script_error.h"
#include "script/module_globals.h"
#include "script/object/script_data_object.h"
#include "script/object/script_object.h"
#include "script/object/tstring_hasher.h"

namespace vk2 {
namespace {

bool IsComparison(int32_t kind) {
  return kind >= kTokEqual && kind <= kTokLessEqual;
}

bool IsCompoundAssign(int32_t kind) {
  return kind >= kTokPlusAssign && kind <= kTokConcatAssign;
}

TString NameOf(MScriptObject* object) {
  TString name;
  if (object) object->GetName(&name);
  return name;
}

TString PlainDescription(MScriptObject* object) {
  TString text;
  if (object) object->Describe(&text, true, 0);
  return text;
}

const char16_t* DataValuesMessage(int32_t kind) {
  switch (kind) {
    case kTokPlus:
    case kTokPlusAssign:
      return u"Can only add data values.";
    case kTokMinus:
    case kTokMinusAssign:
      return u"Can only subtract data values.";
    case kTokConcat:
    case kTokConcatAssign:
      return u"Can only concaternate data values.";
    case kTokTimes:
    case kTokTimesAssign:
      return u"Can only multiply data values.";
    case kTokDivide:
    case kTokDivideAssign:
      return u"Can only divide data values.";
    default:
      return u"Can only mod data values.";
  }
}

// Read-only values (the shared truth values, literals) go to a callee as copies: passed by
// reference, a callee could otherwise try to change them for every later use.
bool IsReadOnlyData(MScriptObject* value) {
  ScriptDataObject* data = ScriptDataObject::From(value);
  return data && data->ReadOnly();
}

}  // namespace

Value Interpreter::Evaluate() {
  ExpressionGuard guard;
  Value left = Comparison();
  for (;;) {
    int32_t op = Kind();
    if (op != kTokAnd && op != kTokOr && op != kTokXor) return left;
    Advance();
    if (skip_) {
      Comparison();
      continue;
    }
    bool leftTrue = TruthOf(left.Get());
    Value right;
    bool rightEvaluated = false;
    if ((op == kTokAnd && !leftTrue) || (op == kTokOr && leftTrue)) {
      SkipScope scope(this, true);
      Comparison();
    } else {
      right = Comparison();
      rightEvaluated = true;
    }
    bool result;
    if (rightEvaluated && !ScriptDataObject::From(right.Get())) {
      result = false;
    } else {
      bool rightTrue = rightEvaluated && TruthOf(right.Get());
      switch (op) {
        case kTokAnd:
          result = leftTrue && rightTrue;
          break;
        case kTokOr:
          result = rightTrue || leftTrue;
          break;
        default:
          result = leftTrue != rightTrue;
          break;
      }
    }
    left = Value::Borrow(TruthValue(result));
  }
}

Value Interpreter::Comparison() {
  Value left = Additive();
  while (IsComparison(Kind())) {
    int32_t op = Kind();
    Advance();
    Value right = Additive();
    if (skip_) continue;
    Order order = CompareValues(left.Get(), right.Get());
    bool result = false;
    switch (op) {
      case kTokEqual:
        result = order == Order::kEqual;
        break;
      case kTokNotEqual:
        result = order != Order::kEqual;
        break;
      case kTokGreater:
        result = order == Order::kGreater;
        break;
      case kTokGreaterEqual:
        result = order == Order::kGreater || order == Order::kEqual;
        break;
      case kTokLess:
        result = order == Order::kLess;
        break;
      case kTokLessEqual:
        result = order == Order::kLess || order == Order::kEqual;
        break;
      default:
        break;
    }
    left = Value::Borrow(TruthValue(result));
  }
  return left;
}

RefPtr<MScriptObject> Interpreter::Binary(int32_t kind, MScriptObject* left, MScriptObject* right) {
  ScriptDataObject* a = ScriptDataObject::From(left);
  ScriptDataObject* b = ScriptDataObject::From(right);
  if (!a || !b) RaiseScriptError(DataValuesMessage(kind));
  RefPtr<ScriptDataObject> result;
  switch (kind) {
    case kTokPlus:
    case kTokPlusAssign:
      result = Arithmetic(ArithmeticOp::kAdd, a, b);
      break;
    case kTokMinus:
    case kTokMinusAssign:
      result = Arithmetic(ArithmeticOp::kSubtract, a, b);
      break;
    case kTokTimes:
    case kTokTimesAssign:
      result = Arithmetic(ArithmeticOp::kMultiply, a, b);
      break;
    case kTokDivide:
    case kTokDivideAssign:
      result = Arithmetic(ArithmeticOp::kDivide, a, b);
      break;
    case kTokMod:
    case kTokModAssign:
      result = Arithmetic(ArithmeticOp::kMod, a, b);
      break;
    default:
      result = Concatenate(a, b);
      break;
  }
  return RefPtr<MScriptObject>(std::move(result));
}

Value Interpreter::Additive() {
  Value left = Multiplicative();
  for (;;) {
    int32_t op = Kind();
    if (op != kTokPlus && op != kTokMinus && op != kTokConcat) return left;
    Advance();
    Value right = Multiplicative();
    if (!skip_) left = Binary(op, left.Get(), right.Get());
  }
}

Value Interpreter::Multiplicative() {
  bool negate = false;
  bool invert = false;
  for (;;) {
    if (Kind() == kTokMinus) {
      negate = !negate;
    } else if (Kind() == kTokNot) {
      invert = !invert;
    } else {
      break;
    }
    Advance();
  }
  Value left = Postfix();
  for (;;) {
    int32_t op = Kind();
    if (op != kTokTimes && op != kTokDivide && op != kTokMod) break;
    Advance();
    Value right = Postfix();
    if (!skip_) left = Binary(op, left.Get(), right.Get());
  }
  if (!skip_) {
    // The prefix covers the whole product: -2 * 3 is -(2 * 3).
    if (invert) left = Value::Borrow(LogicalNot(left.Get()));
    if (negate) left = Value(InvertSign(left.Get()));
  }
  return left;
}

void Interpreter::AddToLvalue(Operand& op, int32_t amount) {
  // A writable number adds in place: the same value as adding the step's text with "+" and
  // assigning the sum, without making either.
  ScriptDataObject* data = ScriptDataObject::From(op.value.Get());
  double number = 0;
  if (data && !data->ReadOnly() && data->Number(&number)) {
    data->SetNumber(number + amount);
    return;
  }
  RefPtr<ScriptDataObject> step = ScriptDataObject::MakeNumber(amount);
  Value sum = Binary(kTokPlus, op.value.Get(), step.Get());
  if (!op.value->Assign(sum.Get(), true)) RaiseScriptError(u"Error in assignment.");
}

Value Interpreter::Postfix() {
  int32_t prefix = 0;
  while (Kind() == kTokIncrement || Kind() == kTokDecrement) {
    prefix += Kind() == kTokIncrement ? 1 : -1;
    Advance();
  }
  Operand op;
  Primary(op);
  for (;;) {
    int32_t kind = Kind();
    if (kind == kTokOpenParen) {
      op.value = CallValue(op);
      op.owner = nullptr;
      op.lvalue = false;
    } else if (kind == kTokOpenBracket) {
      Advance();
      ScriptDataObject* array = nullptr;
      if (!skip_) {
        array = ScriptDataObject::From(op.value.Get());
        if (!array || array->Count() == 0) {
          RaiseScriptError(TString(u"Unable to index non-array. Contents are:\n")
                               .Concat(PlainDescription(op.value.Get())));
        }
      }
      Value index = Evaluate();
      Expect(kTokCloseBracket, u"Unmatched open bracket in array index.");
      Advance();
      if (!skip_) {
        ScriptDataObject* key = ScriptDataObject::From(index.Get());
        if (!key || key->Count() != 0) RaiseScriptError(u"Unable to use array to index array.");
        Value member(array->GetMember(key->Text()));
        if (!member) {
          RaiseScriptError(TString(u"Invalid index. Array is:\n").Concat(PlainDescription(array)));
        }
        op.value = member;
      }
    } else if (kind == kTokDot) {
      Advance();
      if (Kind() == kTokName) {
        TString name = Cur().text;
        Advance();
        if (!skip_) {
          bool create = Kind() == kTokAssign;
          Value member;
          if (!op.value || !op.value->FindMember(name, member.Put(), create)) {
            RaiseScriptError(create ? TString::Format(u"No child object found named <%s> or "
                                                      u"object is read-only",
                                                      name)
                                    : TString::Format(u"No child object found named <%s>", name));
          }
          op.owner = op.value;
          op.value = member;
        }
      } else if (Kind() == kTokThis) {
        Advance();
      } else if (Kind() == kTokParent) {
        Advance();
        if (!skip_) {
          Value parent;
          if (!op.value || !op.value->GetParent(parent.Put())) {
            RaiseScriptError(
                TString::Format(u"Item <%s> does not have a parent!", NameOf(op.value.Get())));
          }
          op.owner = op.value;
          op.value = parent;
        }
      } else {
        RaiseScriptError(u"Child names must be valid identifiers.");
      }
      op.lvalue = true;
    } else if (kind == kTokAssign) {
      if (!op.lvalue) RaiseScriptError(u"lValue required for assignment.");
      // The assignment ends the expression, so a prefix step could never apply to its result.
      if (prefix != 0) RaiseScriptError(u"Unable to preincrement non lValue");
      Advance();
      Value source = Evaluate();
      if (!skip_ && (!op.value || !op.value->Assign(source.Get(), false))) {
        RaiseScriptError(u"Error in assignment.");
      }
      return std::move(op.value);
    } else if (IsCompoundAssign(kind)) {
      if (!op.lvalue) RaiseScriptError(u"lValue required for += operation");
      if (prefix != 0) RaiseScriptError(u"Unable to preincrement non lValue");
      Advance();
      Value source = Evaluate();
      if (!skip_) {
        ScriptDataObject* target = ScriptDataObject::From(op.value.Get());
        ScriptDataObject* added = ScriptDataObject::From(source.Get());
        // Appending in place gives the value the general form computes, without copying the
        // whole text or array on every append.
        if (kind == kTokConcatAssign && target && added && ConcatenateInPlace(target, added)) {
          // appended in place
        } else {
          Value result = Binary(kind, op.value.Get(), source.Get());
          if (!op.value->Assign(result.Get(), true)) RaiseScriptError(u"Error in assignment.");
        }
      }
      return std::move(op.value);
    } else {
      break;
    }
  }
  if (prefix != 0) {
    if (!op.lvalue) RaiseScriptError(u"Unable to preincrement non lValue");
    if (!skip_) AddToLvalue(op, prefix);
  }
  int32_t postfix = 0;
  while (Kind() == kTokIncrement || Kind() == kTokDecrement) {
    postfix += Kind() == kTokIncrement ? 1 : -1;
    Advance();
  }
  if (postfix != 0) {
    if (!op.lvalue) RaiseScriptError(u"Unable to postincrement non lValue");
    if (!skip_) {
      RefPtr<ScriptDataObject> old = ScriptDataObject::Make();
      if (!old->Assign(op.value.Get(), false)) RaiseScriptError(u"Error in assignment.");
      AddToLvalue(op, postfix);
      return Value(std::move(old));
    }
  }
  return std::move(op.value);
}

Value Interpreter::Local(uint32_t index) {
  if (locals_.empty()) locals_.resize(count_, nullptr);
  if (MScriptObject* known = locals_[index]) return Value::Borrow(known);
  const Token& token = tokens_[index];
  Value found = FindLocal(frame_, token.text, token.hash, true);
  // The frame keeps what it made or found for the whole run, so the cache may borrow it.
  locals_[index] = found.Get();
  return found;
}

Value Interpreter::LiteralValue(uint32_t index) {
  const Token& token = tokens_[index];
  if (!skip_ && token.text.Length() == 9 && token.text[0] == '#') {
    Value object;
    if (engine_->FindObject(token.text, object.Put())) return object;
  }
  // The token list holds its literals for as long as the run holds the list.
  return Value::Borrow(list_.LiteralItem(index));
}

void Interpreter::Primary(Operand& op) {
  switch (Kind()) {
    case kTokOpenParen: {
      Advance();
      op.value = Evaluate();
      Expect(kTokCloseParen, u"Mismatched parenthesis.");
      Advance();
      return;
    }
    case kTokValue: {
      uint32_t index = index_;
      Advance();
      op.value = LiteralValue(index);
      return;
    }
    case kTokName: {
      TString name = Cur().text;
      Advance();
      op.lvalue = true;
      if (!skip_) ResolveName(name, op);
      return;
    }
    case kTokLocal: {
      op.value = Local(index_);
      Advance();
      op.lvalue = true;
      return;
    }
    case kTokThis: {
      Advance();
      op.lvalue = true;
      if (skip_) return;
      if (!self_) RaiseScriptError(u"Cannot get this without a object context.");
      op.value = Value(self_);
      return;
    }
    case kTokParent: {
      Advance();
      op.lvalue = true;
      if (skip_) return;
      if (!self_) RaiseScriptError(u"Parent of what?");
      if (!self_->GetParent(op.value.Put())) {
        RaiseScriptError(TString::Format(u"Item <%s> does not have a parent!", NameOf(self_)));
      }
      return;
    }
    case kTokGlobal:
    case kTokColon: {
      Advance();
      if (Kind() != kTokName) {
        RaiseScriptError(u"The :: symbol may only be followed by a valid object name.");
      }
      TString name = Cur().text;
      Advance();
      op.lvalue = true;
      if (skip_) return;
      MScriptObject* root = engine_->GlobalRoot();
      op.owner = Value(root);
      if (!root || !root->FindMember(name, op.value.Put(), false)) {
        RaiseScriptError(TString::Format(u"No global object named <%s> exists.", name));
      }
      return;
    }
    case kTokOpenBrace:
      op.value = ArrayLiteral();
      return;
    default:
      RaiseScriptError(
          TString::Format(u"I don't know what to do with this token! - %s", Cur().text));
  }
}

void Interpreter::ResolveName(const TString& name, Operand& op) {
  if (!self_) RaiseScriptError(u"Child referenced without child context.");
  Value walk(self_);
  while (walk) {
    Value member;
    if (walk->FindMember(name, member.Put(), false)) {
      op.value = member;
      op.owner = walk;
      return;
    }
    if (NameOf(walk.Get()) == name) {
      op.value = walk;
      op.owner = walk;
      return;
    }
    Value parent;
    if (!walk->GetParent(parent.Put())) break;
    walk = parent;
  }
  // A new name comes into being only by plain assignment, and only in this object.
  if (Kind() == kTokAssign) {
    Value made;
    if (self_->FindMember(name, made.Put(), true) && made) {
      op.value = made;
      op.owner = nullptr;
      return;
    }
  }
  RaiseScriptError(
      TString::Format(u"No object named <%s> was found, and we can't create one.", name));
}

Value Interpreter::CallValue(Operand& op) {
  Advance();  // "("
  RefPtr<ScriptDataObject> params = ScriptDataObject::Make();
  params->SetName(ParamsName());
  if (Kind() != kTokCloseParen) {
    for (;;) {
      Value argument = Evaluate();
      if (!skip_ && argument) {
        // Arguments go by reference, except the shared truth values, which a callee could
        // otherwise change for every later comparison.
        if (IsReadOnlyData(argument.Get())) {
          RefPtr<ScriptDataObject> copy = ScriptDataObject::Make();
          if (!copy->Assign(argument.Get(), false)) RaiseScriptError(u"Value nested too deep");
          params->Append(copy.Get());
        } else {
          params->Append(argument.Get());
        }
      }
      if (Kind() != kTokComma) break;
      Advance();
    }
  }
  Expect(kTokCloseParen, u"Mismatched parentheses, or missing comma between parameters.");
  Advance();
  if (skip_) return nullptr;
  CountScriptStep();
  params->Assign(nullptr, false);
  RefPtr<ScriptObject> callFrame = ScriptObject::Make();
  callFrame->AddChild(params.Get());
  callFrame->SetBaseOfNewObject(frame_);
  MScriptObject* callee = op.value.Get();
  if (!callee) RaiseScriptError(u"This is neither a compiled-in function nor a script.");
  Value caller;
  MScriptObject* owner = op.owner ? op.owner.Get() : self_;
  if (owner) owner->Resolve(caller.Put());
  Value result;
  bool ok = callee->Call(result.Put(), engine_, reinterpret_cast<uintptr_t>(self_), caller.Get(),
                         callFrame.Get());
  if (!ok) {
    if (callee->GetKind() == kScriptKindData) RaiseScriptError(TString());
    RaiseScriptError(TString::Format(u"Function call %s failed", NameOf(callee)));
  }
  return result ? result : NewEmpty();
}

Value Interpreter::ArrayLiteral() {
  Advance();  // "{"
  RefPtr<ScriptDataObject> array = skip_ ? nullptr : ScriptDataObject::Make();
  for (;;) {
    TString key;
    if (Kind() == kTokKey) {
      key = Cur().text;
      Advance();
    }
    Value element = Evaluate();
    if (!skip_ && element) {
      ScriptDataObject* data = ScriptDataObject::From(element.Get());
      if (data && element.Owned() && data->RefCount() == 1) {
        // A value made by this expression alone (held by nothing else): it takes the key as
        // its name.
        data->SetName(key);
        if (!array->Append(data)) RaiseScriptError(u"Array too large.");
      } else {
        // A variable, member or object is not renamed: the array takes a copy of it (an object
        // becomes the UID text that refers to it) named by the key.
        RefPtr<ScriptDataObject> copy = ScriptDataObject::Make();
        if (!copy->Assign(element.Get(), false)) RaiseScriptError(u"Value nested too deep");
        copy->SetName(key);
        if (!array->Append(copy.Get())) RaiseScriptError(u"Array too large.");
      }
    }
    if (Kind() == kTokComma) {
      Advance();
      continue;
    }
    if (Kind() == kTokCloseBrace) {
      Advance();
      break;
    }
    RaiseScriptError(u"Arrays elements must be separated with commas and end with curly braces.");
  }
  return Value(std::move(array));
}

}  // namespace vk2

#include "script/lang/operators.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "script/engine/run_limits.h"
#include "script/lang/script_error.h"
#include "script/module_globals.h"

namespace vk2 {
namespace {

const char16_t* Verb(ArithmeticOp op) {
  switch (op) {
    case ArithmeticOp::kAdd:
      return u"add";
    case ArithmeticOp::kSubtract:
      return u"subtract";
    case ArithmeticOp::kMultiply:
      return u"multiply";
    case ArithmeticOp::kDivide:
      return u"divide";
    case ArithmeticOp::kMod:
      return u"mod";
  }
  return u"";
}

RefPtr<ScriptDataObject> ArithmeticAt(ArithmeticOp op, ScriptDataObject* left,
                                      ScriptDataObject* right, uint32_t depth) {
  if (left->Count() == 0) {
    double a = 0, b = 0;
    if (!left->Number(&a) || !right->Number(&b)) {
      RaiseScriptError(TString::Format(u"Can only %s numeric values.", Verb(op)));
    }
    double result = 0;
    switch (op) {
      case ArithmeticOp::kAdd:
        result = a + b;
        break;
      case ArithmeticOp::kSubtract:
        result = a - b;
        break;
      case ArithmeticOp::kMultiply:
        result = a * b;
        break;
      case ArithmeticOp::kDivide:
        if (b == 0) RaiseScriptError(u"Divide by zero.");
        result = a / b;
        break;
      case ArithmeticOp::kMod: {
        int32_t x = TruncateToInt32(a);
        int32_t y = TruncateToInt32(b);
        if (y == 0) RaiseScriptError(u"Mod by zero.");
        // INT_MIN % -1 traps on x86; every remainder by -1 is 0 anyway.
        result = y == -1 ? 0 : x % y;
        break;
      }
    }
    return ScriptDataObject::MakeNumber(result);
  }
  if (right->Count() == 0) {
    RaiseScriptError(TString::Format(u"Cannot %s arrays and scalars", Verb(op)));
  }
  if (right->Count() != left->Count()) {
    RaiseScriptError(TString::Format(u"Can only %s arrays of the same size.", Verb(op)));
  }
  if (depth >= ScriptDataObject::kMaxDepth) RaiseScriptError(u"Value nested too deep");
  RefPtr<ScriptDataObject> result = ScriptDataObject::Make();
  for (uint32_t i = 0; i < left->Count(); ++i) {
    ScriptDataObject* a = ScriptDataObject::From(left->MemberAt(i));
    ScriptDataObject* b = ScriptDataObject::From(right->MemberAt(i));
    if (!a || !b) RaiseScriptError(TString::Format(u"Can only %s numeric values.", Verb(op)));
    RefPtr<ScriptDataObject> member = ArithmeticAt(op, a, b, depth + 1);
    result->Append(member.Get());
  }
  return result;
}

Order CompareAt(MScriptObject* left, MScriptObject* right, uint32_t depth) {
  if (left == right) return Order::kEqual;
  ScriptDataObject* a = ScriptDataObject::From(left);
  ScriptDataObject* b = ScriptDataObject::From(right);
  if (!a || !b) return Order::kUnordered;
  if (a->Count() == 0) {
    // A scalar and an array never order, whichever side each is on.
    if (b->Count() != 0) return Order::kUnordered;
    double x = 0, y = 0;
    if (a->Number(&x) && b->Number(&y)) {
      if (x == y) return Order::kEqual;
      if (x < y) return Order::kLess;
      if (x > y) return Order::kGreater;
      return Order::kUnordered;  // NaN
    }
    int c = WideCompare(a->Text().c_str(), b->Text().c_str(), true);
    return c == 0 ? Order::kEqual : c < 0 ? Order::kLess : Order::kGreater;
  }
  if (b->Count() != a->Count() || depth >= ScriptDataObject::kMaxDepth) return Order::kUnordered;
  for (uint32_t i = 0; i < a->Count(); ++i) {
    MScriptObject* mine = a->MemberAt(i);
    TString name;
    mine->GetName(&name);
    MScriptObject* theirs = nullptr;
    if (name.IsEmpty()) {
      theirs = b->MemberAt(i);
    } else {
      for (uint32_t k = 0; k < b->Count(); ++k) {
        TString other;
        b->MemberAt(k)->GetName(&other);
        if (other == name) {
          theirs = b->MemberAt(k);
          break;
        }
      }
      if (!theirs) return Order::kUnordered;
    }
    if (CompareAt(mine, theirs, depth + 1) != Order::kEqual) return Order::kUnordered;
  }
  return Order::kEqual;
}

}  // namespace

int32_t TruncateToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}

MScriptObject* TruthValue(bool value) {
  return value ? SharedTrueValue() : SharedFalseValue();
}

bool DataTruth(ScriptDataObject* item) {
  if (item->Count() != 0) return true;
  // A number's text is neither empty nor "false", so its value alone decides (NaN is true).
  double number = 0;
  if (item->Number(&number)) return number != 0;
  const TString& text = item->Text();
  return !text.IsEmpty() && !text.Equals(u"false", true);
}

bool TruthOf(MScriptObject* value) {
  if (!value) return false;
  ScriptDataObject* data = ScriptDataObject::From(value);
  return data ? DataTruth(data) : true;
}

Order CompareValues(MScriptObject* left, MScriptObject* right) {
  return CompareAt(left, right, 0);
}

RefPtr<ScriptDataObject> Arithmetic(ArithmeticOp op, ScriptDataObject* left,
                                    ScriptDataObject* right) {
  return ArithmeticAt(op, left, right, 0);
}

namespace {

// Copies of the members `right` adds to the array `left` (an empty scalar counts as an empty
// array), named as in `right`; raises when the array would grow too large, when a name would
// be taken twice, or when a member is nested too deep. `left` does not change.
std::vector<RefPtr<ScriptDataObject>> MembersToAdd(ScriptDataObject* left,
                                                   ScriptDataObject* right) {
  if (left->Count() == 0 && !left->Text().IsEmpty()) {
    RaiseScriptError(u"Cannot concatenate arrays and scalars");
  }
  if (static_cast<uint64_t>(left->Count()) + right->Count() > MaxArrayMembers()) {
    RaiseScriptError(u"Array too large.");
  }
  std::vector<TString> leftNames;
  bool leftNamesRead = false;
  std::vector<RefPtr<ScriptDataObject>> added;
  added.reserve(right->Count());
  for (uint32_t i = 0; i < right->Count(); ++i) {
    MScriptObject* element = right->MemberAt(i);
    TString name;
    element->GetName(&name);
    if (!name.IsEmpty()) {
      // Read only when a member brings a name, so unnamed appends cost nothing per member of
      // the left side.
      if (!leftNamesRead) {
        leftNamesRead = true;
        for (uint32_t k = 0; k < left->Count(); ++k) {
          TString taken;
          left->MemberAt(k)->GetName(&taken);
          if (!taken.IsEmpty()) leftNames.push_back(taken);
        }
      }
      for (const TString& taken : leftNames) {
        if (taken == name) {
          RaiseScriptError(
              TString::Format(u"Array concatenation will make two members named %s", name));
        }
      }
    }
    RefPtr<ScriptDataObject> member = ScriptDataObject::Make();
    if (!member->Assign(element, false)) RaiseScriptError(u"Value nested too deep");
    member->SetName(name);
    added.push_back(std::move(member));
  }
  return added;
}

}  // namespace

RefPtr<ScriptDataObject> Concatenate(ScriptDataObject* left, ScriptDataObject* right) {
  if (right->Count() == 0) {
    if (left->Count() != 0) RaiseScriptError(u"Cannot concatenate arrays and scalars");
    if (static_cast<uint64_t>(left->Text().Length()) + right->Text().Length() > MaxTextLength()) {
      RaiseScriptError(u"Text too long.");
    }
    TString text = left->Text();
    text.Append(right->Text());
    return ScriptDataObject::MakeText(text);
  }
  std::vector<RefPtr<ScriptDataObject>> added = MembersToAdd(left, right);
  RefPtr<ScriptDataObject> result = ScriptDataObject::Make();
  if (left->Count() != 0 && !result->Assign(left, false)) {
    RaiseScriptError(u"Value nested too deep");
  }
  for (const RefPtr<ScriptDataObject>& member : added) {
    if (!result->Append(member.Get())) RaiseScriptError(u"Array too large.");
  }
  return result;
}

bool ConcatenateInPlace(ScriptDataObject* left, ScriptDataObject* right) {
  if (left->ReadOnly() || left == right) return false;
  if (right->Count() == 0) {
    if (left->Count() != 0) return false;  // the operator's own error
    if (static_cast<uint64_t>(left->Text().Length()) + right->Text().Length() > MaxTextLength()) {
      RaiseScriptError(u"Text too long.");
    }
    return left->AppendText(right->Text());
  }
  // Everything that can fail happens before the array changes.
  std::vector<RefPtr<ScriptDataObject>> added = MembersToAdd(left, right);
  for (const RefPtr<ScriptDataObject>& member : added) {
    if (!left->Append(member.Get())) RaiseScriptError(u"Array too large.");
  }
  return true;
}

MScriptObject* LogicalNot(MScriptObject* value) {
  ScriptDataObject* data = ScriptDataObject::From(value);
  if (!data) RaiseScriptError(u"Can only negate values");
  if (data->Count() != 0) RaiseScriptError(u"Cannot negate arrays");
  return TruthValue(!DataTruth(data));
}

RefPtr<ScriptDataObject> InvertSign(MScriptObject* value) {
  ScriptDataObject* data = ScriptDataObject::From(value);
  if (!data) RaiseScriptError(u"Can only invert values");
  if (data->Count() != 0) RaiseScriptError(u"Cannot invert arrays");
  double number = 0;
  if (!data->Number(&number)) RaiseScriptError(u"Can only invert the sign of numeric values!");
  return ScriptDataObject::MakeNumber(-number);
}

}  // namespace vk2

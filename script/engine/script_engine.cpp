#include "script/engine/script_engine.h"

#include "script/object/handler_results.h"

#include <new>
#include <optional>
#include <vector>

#include "component/object/query.h"
#include "component/script/script_text.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "script/engine/interpreter_lock.h"
#include "script/engine/run_budget.h"
#include "script/engine/run_limits.h"
#include "script/lang/interpreter.h"
#include "script/lang/script_error.h"
#include "script/lang/token_cache.h"
#include "script/module_globals.h"
#include "script/object/script_data_object.h"
#include "script/object/script_object.h"
#include "script/object/tstring_hasher.h"

namespace vk2 {

RefPtr<ScriptEngine> ScriptEngine::Make(std::shared_ptr<ScriptConsole> console, uint32_t uidSeed) {
  return RefPtr<ScriptEngine>(new ScriptEngine(std::move(console), uidSeed));
}

ScriptEngine::ScriptEngine(std::shared_ptr<ScriptConsole> console, uint32_t uidSeed)
    : uidCounter_(uidSeed),
      console_(std::move(console)),
      root_(ScriptObject::Make()),
      trueValue_(SharedTrueValue()),
      falseValue_(SharedFalseValue()) {}

ScriptEngine::~ScriptEngine() {
  ReleaseAllObjects();
  if (root_) root_->RemoveAllChildren();
}

MScriptObject* ScriptEngine::GlobalRoot() {
  return root_.Get();
}

void ScriptEngine::SetUidCounter(uint32_t next) {
  std::lock_guard<std::recursive_mutex> hold(uidLock_);
  uidCounter_ = next;
}

void ScriptEngine::ReleaseAllObjects() {
  std::unordered_map<uint32_t, MScriptObject*> objects;
  {
    std::lock_guard<std::recursive_mutex> hold(uidLock_);
    objects.swap(uids_);
  }
  // Outside the lock: a destructor may unregister itself and come back into the table.
  for (auto& [uid, object] : objects)
    object->Release();
}

int32_t ScriptEngine::Run(const TString& script, MScriptObject** result, MScriptObject* self,
                          MScriptObject* scope, MScriptObject* owner) {
  if (script.IsEmpty()) return 0;
  const bool tookLock = !InterpreterLock::HeldByThisThread();
  InterpreterLockScope locked;
  RunBudgetScope budget(tookLock);
  std::shared_ptr<const TokenList> tokens;
  RefPtr<ScriptObject> frame;
  std::optional<Interpreter> interpreter;
  TString failure;
  try {
    tokens = CachedTokens(script);
    frame = ScriptObject::Make();
    if (scope) frame->SetBaseOfNewObject(scope);
    interpreter.emplace(this, *tokens, self, frame.Get());
    Interpreter::FindLocal(frame.Get(), ParamsName(), true);
    Value value;
    {
      RecursionGuard guard;
      value = interpreter->RunScript();
    }
    if (result) {
      RefPtr<ScriptDataObject> copy = ScriptDataObject::Make();
      copy->Assign(value.Get(), false);
      if (*result) (*result)->Release();
      *result = copy.Detach();
    }
    return 0;
  } catch (const ScriptError& error) {
    failure = error.message;
    ReportError(script, interpreter ? interpreter->Position() : 0, failure, owner, frame.Get());
  } catch (const std::bad_alloc&) {
    ReportError(script, interpreter ? interpreter->Position() : 0, u"Out of memory.", owner,
                frame.Get());
  } catch (...) {
    ReportError(script, interpreter ? interpreter->Position() : 0, u"Internal error.", owner,
                frame.Get());
  }
  return kScriptRunFailed;
}

TString MarkScriptText(const TString& script, uint32_t position) {
  TString out;
  const char16_t* chars = script.c_str();
  uint32_t length = script.Length();
  int32_t depth = 0;
  uint32_t runStart = 0;
  auto flush = [&](uint32_t end) {
    if (end > runStart) out.AppendPart(chars + runStart, static_cast<int32_t>(end - runStart));
  };
  for (uint32_t i = 0; i <= length; ++i) {
    if (i == position) {
      flush(i);
      runStart = i;
      out.Append(u"<--- (!!!!)");
    }
    if (i == length) break;
    char16_t c = chars[i];
    if (c == '\t' || c == '\n') {
      flush(i);
      runStart = i + 1;
      if (c == '\n') {
        out.Append(u"\n");
        for (int32_t k = 0; depth >= 0 && k <= depth; ++k)
          out.Append(u"   ");
      }
      continue;
    }
    if (c == '(' || c == '{') ++depth;
    if (c == ')' || c == '}') --depth;
  }
  flush(length);
  return out;
}

void ScriptEngine::ReportError(const TString& script, uint32_t position, const TString& message,
                               MScriptObject* owner, MScriptObject* frame) {
  TString header;
  TString report;
  if (!message.IsEmpty()) {
    header = u"Error in script";
    report = TString::Format(u"\n%s\n\t%s\nError occured in:", MarkScriptText(script, position),
                             message);
  } else {
    // Already reported by the run that failed first; this run only says where it was called.
    header = u"Called from ";
  }
  RefPtr<MScriptObject> parent;
  if (!owner) {
    report.Append(u"unnamed script(");
  } else {
    TString name;
    if (owner->GetParent(parent.Put())) {
      parent->GetName(&name);
      if (!name.IsEmpty()) report.AppendPrintf(u"%s.", name);
    }
    owner->GetName(&name);
    report.AppendPrintf(u"%s(", name);
  }
  if (frame) {
    Value params = Interpreter::FindLocal(frame, ParamsName(), false);
    if (ScriptDataObject* list = ScriptDataObject::From(params.Get())) {
      for (uint32_t i = 0; i < list->Count(); ++i) {
        TString text;
        list->MemberAt(i)->Describe(&text, true, 0);
        report.AppendPrintf(i + 1 < list->Count() ? u"%s," : u"%s", text);
      }
    }
  }
  report.Append(u")");
  if (parent) {
    TString uid;
    parent->GetUid(&uid);
    report.AppendPrintf(u" -- %s", uid);
  }
  WriteConsole(0, TString::Format(u"%s: %s\n", header, report));
}

bool ScriptEngine::AddGlobal(MUnknown* object, const char16_t* path) {
  if (!object) return false;
  auto item = Query<MScriptObject>(object, kIID_MScriptObject);
  if (!item) return false;
  RefPtr<MScriptObject> node(root_.Get());
  if (path) {
    TString text(path);
    const char16_t* chars = text.c_str();
    uint32_t segmentStart = 0;
    for (uint32_t i = 0; i < text.Length(); ++i) {
      if (chars[i] != '.') continue;
      TString segment(TString::View(chars + segmentStart, i - segmentStart));
      segmentStart = i + 1;
      RefPtr<MScriptObject> child;
      if (!node->FindMember(segment, child.Put(), false)) {
        RefPtr<ScriptObject> made = ScriptObject::Make();
        made->SetName(segment);
        ScriptNode* parentNode = ScriptNode::From(node.Get());
        if (!parentNode || !parentNode->AddChildNode(made.Get())) return false;
        child = RefPtr<MScriptObject>(made.Get());
      }
      node = child;
    }
  }
  ScriptNode* target = ScriptNode::From(node.Get());
  return target && target->AddChildNode(item.Get());
}

bool ScriptEngine::RemoveGlobal(const TString& name) {
  return root_->RemoveChildByName(name);
}

bool ScriptEngine::RegisterObject(MScriptObject* object, TString* uidText) {
  if (!object) return false;
  TString current;
  object->GetUid(&current);
  uint32_t currentUid = ParseUidText(current);
  std::lock_guard<std::recursive_mutex> hold(uidLock_);
  if (currentUid && uids_.count(currentUid)) return false;
  uint32_t uid;
  do {
    uid = uidCounter_++;
  } while (uid == 0 || uids_.count(uid));
  object->AddRef();
  uids_.emplace(uid, object);
  if (uidText) *uidText = FormatUidText(uid);
  return true;
}

bool ScriptEngine::UnregisterObject(MScriptObject* object) {
  if (!object) return false;
  TString current;
  object->GetUid(&current);
  uint32_t uid = ParseUidText(current);
  if (!uid) return false;
  MScriptObject* removed = nullptr;
  {
    std::lock_guard<std::recursive_mutex> hold(uidLock_);
    auto it = uids_.find(uid);
    if (it == uids_.end() || it->second != object) return false;
    removed = it->second;
    uids_.erase(it);
  }
  removed->Release();
  return true;
}

bool ScriptEngine::FindObject(const TString& uidText, MScriptObject** out) {
  uint32_t uid = ParseUidText(uidText);
  if (!uid || !out) return false;
  std::lock_guard<std::recursive_mutex> hold(uidLock_);
  auto it = uids_.find(uid);
  if (it == uids_.end()) return false;
  it->second->AddRef();
  if (*out) (*out)->Release();
  *out = it->second;
  return true;
}

int32_t ScriptEngine::WriteConsole(int32_t level, const TString& text) {
  if (!console_) return 0;
  int32_t mapped = level == 0 ? 7 : level == 1 ? 6 : level;
  console_->Write(mapped, text);
  return 0;
}

bool ScriptEngine::IsValidName(const TString& text) {
  return IsValidIdentifier(text.c_str());
}

}  // namespace vk2

#include "script/object/script_data_object.h"

#include <cmath>
#include <utility>

#include "component/script/script_report.h"
#include "component/script/script_text.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "script/engine/run_limits.h"
#include "script/engine/value_memory.h"
#include "script/module_globals.h"

namespace vk2 {
namespace {

// While a data item is being destroyed, the members of nested items are queued here instead of
// being released in place, so a deep array does not unwind through the stack.
thread_local std::vector<MScriptObject*>* tPendingRelease = nullptr;

bool NamesEqualIgnoringCase(const TString& a, const TString& b) {
  return a.Equals(b, false);
}

TString UidTextOf(MScriptObject* object) {
  TString uid;
  object->GetUid(&uid);
  return uid;
}

void ReportUnder(ScriptDataObject* item, const TString& message) {
  ReportScriptError(ModuleEngine(), item->Name(), message);
}

}  // namespace

void ReleaseMemberList(std::vector<MScriptObject*>& members) {
  if (tPendingRelease) {
    tPendingRelease->insert(tPendingRelease->end(), members.begin(), members.end());
    members.clear();
    return;
  }
  std::vector<MScriptObject*> queue;
  queue.swap(members);
  tPendingRelease = &queue;
  while (!queue.empty()) {
    MScriptObject* next = queue.back();
    queue.pop_back();
    next->Release();
  }
  tPendingRelease = nullptr;
}

namespace {

// Values come and go by the thousand in every loop; each thread keeps a few freed blocks for
// its next values instead of going back to the allocator each time. Sanitizer builds use the
// allocator directly, so that a value used after it is freed is still caught.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kCacheBlocks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kCacheBlocks = false;
#else
constexpr bool kCacheBlocks = true;
#endif
#else
constexpr bool kCacheBlocks = true;
#endif

struct DataBlockCache {
  static constexpr size_t kKeep = 256;
  void* blocks[kKeep];
  size_t count = 0;
};

// Trivial thread-locals stay usable while other thread-locals are destroyed; the owner below
// frees the cache at thread exit and leaves later values to the allocator.
thread_local DataBlockCache* tCache = nullptr;
thread_local bool tCacheClosed = false;

void FreeThreadCache() {
  if (!tCache) return;
  ChargeValueMemory(-static_cast<int64_t>(tCache->count * sizeof(ScriptDataObject)));
  while (tCache->count)
    ::operator delete(tCache->blocks[--tCache->count]);
  delete tCache;
  tCache = nullptr;
}

struct DataBlockCacheOwner {
  ~DataBlockCacheOwner() {
    FreeThreadCache();
    tCacheClosed = true;
  }
};
thread_local DataBlockCacheOwner tCacheOwner;

DataBlockCache* ThreadCache() {
  if (!kCacheBlocks || tCacheClosed) return nullptr;
  if (!tCache) {
    (void)&tCacheOwner;  // makes the owner exist on this thread
    tCache = new DataBlockCache();
  }
  return tCache;
}

}  // namespace

void ReleaseThreadValueBlocks() {
  FreeThreadCache();
}

// A block counts in the value memory from the allocator to the allocator: while it waits in
// a thread's cache it is still held.
void* ScriptDataObject::operator new(size_t size) {
  DataBlockCache* cache = ThreadCache();
  if (cache && cache->count) return cache->blocks[--cache->count];
  void* block = ::operator new(size);
  ChargeValueMemory(static_cast<int64_t>(size));
  return block;
}

void ScriptDataObject::operator delete(void* block) {
  DataBlockCache* cache = ThreadCache();
  if (cache && cache->count < DataBlockCache::kKeep) {
    cache->blocks[cache->count++] = block;
  } else {
    ::operator delete(block);
    ChargeValueMemory(-static_cast<int64_t>(sizeof(ScriptDataObject)));
  }
}

ScriptDataObject::ScriptDataObject() : ScriptNodeWith(SharedDataBase()) {}

ScriptDataObject::~ScriptDataObject() {
  if (!members_.empty()) ReleaseMemberList(members_);
  if (charged_ != 0) ChargeValueMemory(-static_cast<int64_t>(charged_));
}

void ScriptDataObject::Recharge() {
  // Text shared with other items is counted by each holder: the count may run high, never low.
  size_t bytes = members_.capacity() * sizeof(MScriptObject*) + value_.Length() * sizeof(char16_t);
  if (bytes == charged_) return;
  ChargeValueMemory(static_cast<int64_t>(bytes) - static_cast<int64_t>(charged_));
  charged_ = bytes;
}

RefPtr<ScriptDataObject> ScriptDataObject::Make() {
  return RefPtr<ScriptDataObject>(new ScriptDataObject());
}

RefPtr<ScriptDataObject> ScriptDataObject::MakeText(const TString& text) {
  RefPtr<ScriptDataObject> item = Make();
  item->value_ = text;
  item->Recharge();
  return item;
}

RefPtr<ScriptDataObject> ScriptDataObject::MakeNumber(double value) {
  RefPtr<ScriptDataObject> item = Make();
  item->SetNumber(value);
  return item;
}

ScriptDataObject* ScriptDataObject::From(MScriptObject* object) {
  return object
             ? static_cast<ScriptDataObject*>(object->InternalQueryInterface(kIID_ScriptDataImpl))
             : nullptr;
}

MUnknown* ScriptDataObject::ServedInterface(const Guid& iid) {
  return FindFace<Face<ScriptDataEntity, kIID_ScriptDataEntity>,
                  Face<MScriptObject, kIID_MScriptObject>>(this, iid);
}

void* ScriptDataObject::InternalQueryInterface(const Guid& iid) {
  if (iid == kIID_ScriptDataImpl) return this;
  if (iid == kIID_ScriptDataEntity) return static_cast<ScriptDataEntity*>(this);
  return ScriptNode::InternalQueryInterface(iid);
}

bool ScriptDataObject::Number(double* out) {
  if (!members_.empty()) return false;
  if (numberState_ == kNumberUnknown) {
    numberState_ =
        IsNumberText(value_.c_str(), value_.Length(), &number_) ? kNumberValid : kNotNumber;
  }
  *out = number_;
  return numberState_ == kNumberValid;
}

void ScriptDataObject::SetNumber(double value) {
  if (!members_.empty()) ReleaseMemberList(members_);
  // Only an exact print reads back as the same number; anything rounded is printed now and
  // read again from its text.
  if (value == std::trunc(value) && std::fabs(value) < 9007199254740992.0) {
    value_ = TString();
    number_ = value == 0 ? 0.0 : value;
    numberState_ = kNumberValid;
    textPending_.store(true, std::memory_order_release);
    Recharge();
    return;
  }
  char16_t buffer[40];
  uint32_t length = NumberToChars(value, buffer);
  value_ = TString(TString::View(buffer, length));
  textPending_.store(false, std::memory_order_relaxed);
  InvalidateNumber();
  Recharge();
}

void ScriptDataObject::MaterializeText() const {
  // Two readers may both find the text missing; the node's lock lets one print it.
  std::lock_guard<std::recursive_mutex> hold(const_cast<ScriptDataObject*>(this)->NodeLock());
  if (!textPending_.load(std::memory_order_relaxed)) return;
  char16_t buffer[40];
  uint32_t length = NumberToChars(number_, buffer);
  value_ = TString(TString::View(buffer, length));
  textPending_.store(false, std::memory_order_release);
}

void ScriptDataObject::CopyScalar(const ScriptDataObject& source) {
  bool pending = source.textPending_.load(std::memory_order_acquire);
  TString text = pending ? TString() : source.value_;
  value_ = std::move(text);
  number_ = source.number_;
  numberState_ = source.numberState_;
  textPending_.store(pending, std::memory_order_release);
  Recharge();
}

void ScriptDataObject::ClearText() {
  value_ = TString();
  textPending_.store(false, std::memory_order_relaxed);
  InvalidateNumber();
  Recharge();
}

void ScriptDataObject::SetText(TString text) {
  if (!members_.empty()) ReleaseMemberList(members_);
  value_ = std::move(text);
  textPending_.store(false, std::memory_order_relaxed);
  InvalidateNumber();
  Recharge();
}

void ScriptDataObject::SetTextKnown(const TString& text, bool isNumber, double number) {
  if (!members_.empty()) ReleaseMemberList(members_);
  value_ = text;
  textPending_.store(false, std::memory_order_relaxed);
  number_ = number;
  numberState_ = isNumber ? kNumberValid : kNotNumber;
  Recharge();
}

bool ScriptDataObject::AppendText(const TString& text) {
  if (!members_.empty() || ReadOnly()) return false;
  if (static_cast<uint64_t>(Text().Length()) + text.Length() > MaxTextLength()) return false;
  if (text.RawPointer() == value_.RawPointer()) {  // appending the text to itself
    TString copy(text);
    value_.Append(copy);
  } else {
    value_.Append(text);
  }
  InvalidateNumber();
  Recharge();
  return true;
}

bool ScriptDataObject::SetValue(const TString& text) {
  if (ReadOnly()) {
    ReportUnder(this, u"Data item is not writable.");
    return false;
  }
  // The text may belong to one of the members about to go, so keep a copy first.
  SetText(TString(text));
  return true;
}

MScriptObject* ScriptDataObject::GetAtOrCreate(uint32_t index, bool create) {
  if (index < members_.size()) return members_[index];
  if (!create) return nullptr;
  if (ReadOnly()) {
    ReportUnder(this, u"Cannot add member to non-writable array.");
    return nullptr;
  }
  uint64_t count = members_.size();
  if (index >= count + kMaxGrowthStep || index >= MaxArrayMembers()) {
    ReportUnder(this,
                TString::Format(u"Cannot add member %u: the array would grow too large.", index));
    return nullptr;
  }
  if (members_.empty()) ClearText();
  while (members_.size() <= index)
    members_.push_back(Make().Detach());
  Recharge();
  return members_[index];
}

MScriptObject* ScriptDataObject::GetMemberOrCreate(const TString& key, bool create) {
  if (members_.empty()) {
    ReportUnder(this, u"Attempt to index non-array.");
    return nullptr;
  }
  uint32_t index = 0;
  if (key.ParseUnsigned(&index) > 0) return GetAtOrCreate(index, create);
  for (MScriptObject* member : members_) {
    TString name;
    member->GetName(&name);
    if (NamesEqualIgnoringCase(name, key)) return member;
  }
  if (!create) {
    ReportUnder(this, TString::Format(u"No array value named <%s>.", key));
    return nullptr;
  }
  if (ReadOnly()) {
    ReportUnder(this, u"Cannot add member to non-writable array.");
    return nullptr;
  }
  if (members_.size() >= MaxArrayMembers()) {
    ReportUnder(this, TString::Format(u"Cannot add member %s: the array is too large.", key));
    return nullptr;
  }
  RefPtr<ScriptDataObject> item = Make();
  item->SetName(key);
  members_.push_back(item.Detach());
  Recharge();
  return members_.back();
}

bool ScriptDataObject::SetArraySize(uint32_t count) {
  if (ReadOnly()) {
    ReportUnder(this, u"Unable to modify non-writable array!");
    return false;
  }
  if (count > MaxArrayMembers()) {
    ReportUnder(this, TString::Format(u"Cannot make an array of %u members.", count));
    return false;
  }
  ClearText();
  if (count < members_.size()) {
    std::vector<MScriptObject*> cut(members_.begin() + count, members_.end());
    members_.resize(count);
    ReleaseMemberList(cut);
  }
  while (members_.size() < count)
    members_.push_back(Make().Detach());
  Recharge();
  return true;
}

MScriptObject* ScriptDataObject::AppendNew() {
  if (ReadOnly()) {
    ReportUnder(this, u"Unable to modify non-writable array!");
    return nullptr;
  }
  if (members_.size() >= MaxArrayMembers()) return nullptr;
  if (members_.empty()) ClearText();
  members_.push_back(Make().Detach());
  Recharge();
  return members_.back();
}

bool ScriptDataObject::Append(MScriptObject* item) {
  if (ReadOnly()) {
    ReportUnder(this, u"Unable to modify non-writable array!");
    return false;
  }
  // An array holding itself could never be printed, copied or freed.
  if (!item || item == static_cast<MScriptObject*>(this) || members_.size() >= MaxArrayMembers()) {
    return false;
  }
  if (members_.empty()) ClearText();
  item->AddRef();
  members_.push_back(item);
  Recharge();
  return true;
}

bool ScriptDataObject::IsValidIndex(const TString& text) {
  if (members_.empty()) return false;
  uint32_t index = 0;
  if (text.ParseUnsigned(&index) > 0) return index < members_.size();
  for (MScriptObject* member : members_) {
    TString name;
    member->GetName(&name);
    if (name == text) return true;
  }
  return false;
}

RefPtr<MScriptObject> ScriptDataObject::ReferencedObject() {
  if (!members_.empty() || textPending_.load(std::memory_order_acquire) || value_.Length() < 2 ||
      value_[0] != '#') {
    return nullptr;
  }
  MScriptEngine* engine = ModuleEngine();
  RefPtr<MScriptObject> found;
  if (!engine || !engine->FindObject(value_, found.Put())) return nullptr;
  if (found.Get() == static_cast<MScriptObject*>(this)) return nullptr;
  return found;
}

void ScriptDataObject::Resolve(MScriptObject** out) {
  if (RefPtr<MScriptObject> target = ReferencedObject()) {
    *out = target.Detach();
    return;
  }
  AddRef();
  *out = this;
}

bool ScriptDataObject::FindMember(const TString& name, MScriptObject** out, bool create) {
  // One hop only: the referenced object answers with its own plain lookup, so items that hold
  // each other's UID cannot forward in a circle.
  if (RefPtr<MScriptObject> target = ReferencedObject()) {
    if (ScriptNode* node = ScriptNode::From(target.Get())) {
      return node->FindMemberPlain(name, out, create);
    }
  }
  return FindMemberPlain(name, out, create);
}

bool ScriptDataObject::FindChild(const TString& name, MScriptObject** out) {
  return FindMember(name, out, false);
}

bool ScriptDataObject::Call(MScriptObject** result, MScriptEngine* /*engine*/, uintptr_t /*extra*/,
                            MScriptObject* caller, MScriptObject* params) {
  // Keep the script text alive even if the script replaces this item's value.
  TString script = Text();
  if (script.IsEmpty() || !members_.empty()) {
    if (result) {
      if (*result) (*result)->Release();
      *result = Make().Detach();
    }
    return true;
  }
  MScriptEngine* engine = ModuleEngine();
  if (!engine) return false;
  return engine->Run(script, result, caller, params, this) == 0;
}

bool ScriptDataObject::CopyMembers(ScriptDataObject* source, uint32_t depth,
                                   std::vector<MScriptObject*>* out) {
  out->reserve(source->members_.size());
  for (MScriptObject* element : source->members_) {
    bool ok = true;
    RefPtr<ScriptDataObject> copy = CopyOf(element, depth, &ok);
    if (!ok) {
      ReleaseMemberList(*out);
      return false;
    }
    out->push_back(copy.Detach());
  }
  return true;
}

RefPtr<ScriptDataObject> ScriptDataObject::CopyOf(MScriptObject* element, uint32_t depth,
                                                  bool* ok) {
  RefPtr<ScriptDataObject> copy = Make();
  TString name;
  element->GetName(&name);
  copy->SetName(name);
  ScriptDataObject* data = From(element);
  if (!data) {
    copy->SetText(UidTextOf(element));
  } else if (data->members_.empty()) {
    copy->CopyScalar(*data);
  } else if (depth >= kMaxDepth) {
    *ok = false;
  } else if (!CopyMembers(data, depth + 1, &copy->members_)) {
    *ok = false;
  }
  copy->Recharge();
  return copy;
}

void ScriptDataObject::ReplaceMembers(std::vector<MScriptObject*> members) {
  members_.swap(members);
  ClearText();  // recharges the new member slots too
  ReleaseMemberList(members);
}

void ScriptDataObject::AssignNullToMembers(uint32_t depth) {
  for (size_t i = members_.size(); i-- > 0;) {
    MScriptObject* member = members_[i];
    if (ScriptDataObject* data = From(member)) {
      if (depth < kMaxDepth && !data->members_.empty()) data->AssignNullToMembers(depth + 1);
      continue;
    }
    // Arrays hold values only; an object in a slot becomes the UID text that names it.
    RefPtr<ScriptDataObject> stand = MakeText(UidTextOf(member));
    TString name;
    member->GetName(&name);
    stand->SetName(name);
    members_[i] = stand.Detach();
    member->Release();
  }
}

bool ScriptDataObject::Assign(MScriptObject* source, bool byReference) {
  if (!source) {
    // Nothing to clear is not a write, so read-only items (the shared truth values among them)
    // pass through argument lists quietly.
    if (members_.empty()) return true;
    if (ReadOnly()) {
      ReportUnder(this, u"Unable to assign value to read-only object");
      return false;
    }
    AssignNullToMembers(0);
    return true;
  }
  if (ReadOnly()) {
    ReportUnder(this, u"Unable to assign value to read-only object");
    return false;
  }
  ScriptDataObject* data = From(source);
  if (!data) {
    SetText(UidTextOf(source));
    return true;
  }
  if (data == this) return true;
  if (data->members_.empty()) {
    if (!members_.empty()) ReleaseMemberList(members_);
    CopyScalar(*data);
    return true;
  }
  std::vector<MScriptObject*> members;
  if (!byReference) {
    // Build the copy apart from the target first, so a source that holds the target (as in
    // a = {a}) is read completely before anything of the target changes.
    if (!CopyMembers(data, 1, &members)) {
      ReportUnder(this, u"Value nested too deep");
      return false;
    }
  } else {
    members.reserve(data->members_.size());
    for (MScriptObject* element : data->members_) {
      ScriptDataObject* elementData = From(element);
      if (elementData && elementData != this) {
        element->AddRef();
        members.push_back(element);
        continue;
      }
      bool ok = true;
      RefPtr<ScriptDataObject> copy = CopyOf(element, 1, &ok);
      if (!ok) {
        ReleaseMemberList(members);
        ReportUnder(this, u"Value nested too deep");
        return false;
      }
      members.push_back(copy.Detach());
    }
  }
  ReplaceMembers(std::move(members));
  return true;
}

void ScriptDataObject::DescribeInto(TString& out, bool plain, uint32_t depth) {
  if (depth >= 1) {
    for (uint32_t i = 0; i < depth; ++i)
      out.Append(u"  ");
    TString name = Name();
    if (!name.IsEmpty()) {
      out.Append(name);
      out.Append(plain ? u": " : u":");
    }
  }
  if (members_.empty()) {
    if (plain) {
      out.Append(Text());
    } else {
      out.Append(u"\"");
      out.Append(Text());
      out.Append(u"\"");
    }
    return;
  }
  if (depth > kMaxDepth) {
    out.Append(u"{...}");
    return;
  }
  const char16_t* open;
  const char16_t* between;
  const char16_t* close;
  if (depth == 0) {
    open = plain ? u"{\n" : u"{";
    between = plain ? u", " : u",\n";
    close = plain ? u"}" : u"\n}";
  } else {
    open = plain ? u"{\n" : u"{";
    between = plain ? u",\n" : u", ";
    close = plain ? u"\n}" : u"}";
  }
  out.Append(open);
  for (size_t i = 0; i < members_.size(); ++i) {
    if (i) out.Append(between);
    MScriptObject* member = members_[i];
    if (ScriptDataObject* data = From(member)) {
      data->DescribeInto(out, plain, depth + 1);
    } else {
      TString text;
      member->Describe(&text, plain, depth + 1);
      out.Append(text);
    }
  }
  out.Append(close);
}

void ScriptDataObject::Describe(TString* out, bool plain, uint32_t depth) {
  TString text;
  DescribeInto(text, plain, depth);
  *out = std::move(text);
}

}  // namespace vk2

// A script value: one text, or an array of data items each with an optional member name.
// Numbers are kept as their printed text; the number read from it is cached until it changes.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/util/ref_ptr.h"
#include "interfaces/script/script_data_entity.h"
#include "script/object/script_node.h"

namespace vk2 {

// The script object side comes first: the interpreter calls through it all the time.
class ScriptDataObject final : public ScriptNodeWith<ScriptDataEntity> {
 public:
  // Arrays deeper than this are refused when copied and cut short when printed; it keeps every
  // recursive walk over a value within a bounded stack.
  static constexpr uint32_t kMaxDepth = 256;
  // Growth by index stops here, so a stray large index cannot allocate without end (the total
  // is bounded by MaxArrayMembers()).
  static constexpr uint32_t kMaxGrowthStep = 65536;

  static RefPtr<ScriptDataObject> Make();
  static RefPtr<ScriptDataObject> MakeText(const TString& text);
  static RefPtr<ScriptDataObject> MakeNumber(double value);
  // The data item behind a script object, or null for any other kind (and for null).
  static ScriptDataObject* From(MScriptObject* object);

  // ---- ScriptDataEntity -----------------------------------------------------------------------
  bool IsArray() override { return !members_.empty(); }
  bool IsScalar() override { return members_.empty(); }
  void GetValue(TString* out) override { *out = Text(); }
  bool SetValue(const TString& text) override;
  MScriptObject* GetAt(uint32_t index) override { return GetAtOrCreate(index, false); }
  MScriptObject* GetMember(const TString& name) override { return GetMemberOrCreate(name, false); }
  MScriptObject* GetAtOrCreate(uint32_t index, bool create) override;
  MScriptObject* GetMemberOrCreate(const TString& key, bool create) override;
  uint32_t ArraySize() override { return static_cast<uint32_t>(members_.size()); }
  bool SetArraySize(uint32_t count) override;
  MScriptObject* AppendNew() override;
  bool Append(MScriptObject* item) override;
  bool IsValidIndex(const TString& text) override;
  MScriptObject* GetScriptObject() override { return this; }

  // ---- MScriptObject, where a data item differs -----------------------------------------------
  int32_t GetKind() override { return kScriptKindData; }
  bool Call(MScriptObject** result, MScriptEngine* engine, uintptr_t extra, MScriptObject* caller,
            MScriptObject* params) override;
  bool Assign(MScriptObject* source, bool byReference) override;
  bool FindChild(const TString& name, MScriptObject** out) override;
  bool FindMember(const TString& name, MScriptObject** out, bool create) override;
  void GetClassName(TString* out) override { *out = u"ScriptDataObject"; }
  void SetVersion(uint32_t) override {}
  void SetClassName(const TString&) override {}
  MUnknown* GetMemberRegistry() override { return static_cast<ScriptDataEntity*>(this); }
  void Describe(TString* out, bool plain, uint32_t depth) override;
  void Resolve(MScriptObject** out) override;
  void* InternalQueryInterface(const Guid& iid) override;

  // ---- Inside the module: callers hold the interpreter lock ------------------------------------
  // The value's text. A whole number stored by SetNumber gets its text only when someone reads
  // it, so numbers that only pass through arithmetic are never printed.
  const TString& Text() const {
    if (textPending_.load(std::memory_order_acquire)) MaterializeText();
    return value_;
  }
  uint32_t Count() const { return static_cast<uint32_t>(members_.size()); }
  MScriptObject* MemberAt(uint32_t index) const { return members_[index]; }
  // The text read as a number; false for arrays and texts that are not numbers.
  bool Number(double* out);
  // Stores a number as its text, keeping the value it was printed from when that is exact.
  void SetNumber(double value);
  // Replaces the value with a text (no read-only check; for items the caller made).
  void SetText(TString text);
  // The same with the number already read from that text.
  void SetTextKnown(const TString& text, bool isNumber, double number);
  // Appends to a scalar's text in place (the buffer grows when it is not shared); false for an
  // array, a read-only item or a text that would grow too long.
  bool AppendText(const TString& text);
  // Appends the Describe text of this value to `out`.
  void DescribeInto(TString& out, bool plain, uint32_t depth);
  // The object whose UID this scalar holds (not this item), with a reference; or null.
  RefPtr<MScriptObject> ReferencedObject();

 private:
  MUnknown* ServedInterface(const Guid& iid) override;
  ScriptDataObject();
  ~ScriptDataObject() override;
  static void* operator new(size_t size);
  static void operator delete(void* block);

  // A detached deep copy of `source`'s members; false when nested beyond kMaxDepth.
  static bool CopyMembers(ScriptDataObject* source, uint32_t depth,
                          std::vector<MScriptObject*>* out);
  static RefPtr<ScriptDataObject> CopyOf(MScriptObject* element, uint32_t depth, bool* ok);
  void ReplaceMembers(std::vector<MScriptObject*> members);
  void AssignNullToMembers(uint32_t depth);
  void InvalidateNumber() { numberState_ = kNumberUnknown; }
  void MaterializeText() const;
  // The text (and the number read from it) of another scalar; the text of this item is gone.
  void CopyScalar(const ScriptDataObject& source);
  // Empties the text, as every change from a scalar to an array does.
  void ClearText();
  // Brings the bytes this item has charged to the value memory count up to date with its text
  // and member slots; called after every change of either.
  void Recharge();

  static constexpr uint8_t kNumberUnknown = 0;
  static constexpr uint8_t kNumberValid = 1;
  static constexpr uint8_t kNotNumber = 2;

  std::vector<MScriptObject*> members_;  // one reference each
  mutable TString value_;
  double number_ = 0;
  uint8_t numberState_ = kNumberUnknown;
  // Set while value_ still has to be printed from number_ (an exact whole number).
  mutable std::atomic<bool> textPending_{false};
  size_t charged_ = 0;  // text and member bytes counted in the value memory (not the item)
};

// Releases a list of references without recursing through nested arrays.
void ReleaseMemberList(std::vector<MScriptObject*>& members);

// Frees the calling thread's cache of value blocks (module shutdown; other threads free theirs
// when they end).
void ReleaseThreadValueBlocks();

}  // namespace vk2

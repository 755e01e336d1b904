// A registry of small named objects whose hooks record what happened to them.
#pragma once

#include <string>
#include <vector>

#include "component/object/com_object.h"
#include "core/registry/named_object_registry.h"

namespace vk2::test {

class MThing : public MUnknown {
 public:
  virtual TString Name() = 0;
  virtual void SetName(const TString& name) = 0;

 protected:
  ~MThing() = default;
};

class Thing final : public ComObject<Thing, SilentFace<MThing>> {
 public:
  explicit Thing(std::vector<std::string>* diary) : diary_(diary) {}
  TString Name() override { return name_; }
  void SetName(const TString& name) override { name_ = name; }

 private:
  ~Thing() override { diary_->push_back("destroyed " + std::string(Utf8(name_).c_str())); }

  std::vector<std::string>* diary_;
  TString name_;
};

class ThingHooks : public NamedObjectHooks<MThing> {
 public:
  int32_t CreateObject(RefPtr<MThing>* out, bool temporary) override {
    diary.push_back(temporary ? "create temporary" : "create");
    if (failCreate) return kErrOutOfMemory;
    *out = RefPtr<MThing>(new Thing(&diary));
    return kOk;
  }
  TString NameOf(MThing* object) override { return object->Name(); }
  void SetNameOf(MThing* object, const TString& name) override { object->SetName(name); }
  void OnAdded(MThing* object) override { diary.push_back("added " + Text(object)); }
  void OnRemove(MThing* object) override { diary.push_back("remove " + Text(object)); }
  void Dispose(MThing* object, bool all) override {
    diary.push_back((all ? "dispose all " : "dispose ") + Text(object));
    if (onDispose) onDispose(object);
  }

  static std::string Text(MThing* object) { return Utf8(object->Name()).c_str(); }

  bool failCreate = false;
  std::function<void(MThing*)> onDispose;
  std::vector<std::string> diary;
};

struct ThingRegistry {
  ThingHooks hooks;
  std::vector<std::string> lines;
  NamedObjectRegistry<MThing> registry{
      u"playlist", &hooks, [this](const RegistryLine& line) {
        lines.push_back(std::to_string(line.level) + " " + Utf8(line.text).c_str());
      }};
};

}  // namespace vk2::test

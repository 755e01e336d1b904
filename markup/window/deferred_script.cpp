#include "markup/window/deferred_script.h"

#include <new>

#include "component/object/com_object.h"
#include "markup/window/script_events.h"

namespace vk2::markup {
namespace {

class DeferredScript final : public ComObject<DeferredScript, SilentFace<MHostTask>> {
 public:
  DeferredScript(const TString& text, MScriptObject* self, MScriptEngine* engine)
      : text_(text), self_(self), engine_(engine) {}

  int32_t Run(MWindowElement*, uintptr_t, uintptr_t) override {
    MScriptEngine* engine = engine_ ? engine_.Get() : MarkupScriptEngine();
    if (!engine) return 0;
    return engine->Run(text_, nullptr, self_.Get(), nullptr, nullptr);
  }

 private:
  ~DeferredScript() override = default;

  TString text_;
  RefPtr<MScriptObject> self_;
  RefPtr<MScriptEngine> engine_;
};

}  // namespace

RefPtr<MHostTask> MakeDeferredScript(const TString& text, MScriptObject* self,
                                     MScriptEngine* engine) {
  return RefPtr<MHostTask>(new (std::nothrow) DeferredScript(text, self, engine));
}

}  // namespace vk2::markup

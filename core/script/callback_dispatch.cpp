#include "core/script/callback_dispatch.h"

#include <memory>

#include "component/module/runtime_loader.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/app.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

struct PostedFire {
  RefPtr<MUnknown> keeper;
  ScriptBindingTable* table;
  TString key;
  RefPtr<MScriptObject> argument;
};

void RunPostedFire(void* context) {
  std::unique_ptr<PostedFire> fire(static_cast<PostedFire*>(context));
  fire->table->Fire(fire->key, fire->argument.Get());
}

}  // namespace

void FireCallbacks(MUnknown* keeper, ScriptBindingTable* table, const TString& key,
                   MScriptObject* argument) {
  // The application object is one per process and is asked afresh each time: a GUI may start
  // or stop while the core runs. It only answers posts while its loop runs.
  RefPtr<MOmbrixApp> app = CreateRuntimeObject<MOmbrixApp>(kBrintClass, kIID_MOmbrixApp);
  if (app && !app->IsGuiThread()) {
    auto fire = std::make_unique<PostedFire>(
        PostedFire{RefPtr<MUnknown>(keeper), table, key, RefPtr<MScriptObject>(argument)});
    if (app->PostToGuiThread(&RunPostedFire, fire.get()) == 0) {
      fire.release();
      return;
    }
  }
  table->Fire(key, argument);
}

}  // namespace vk2

#include "script/runtime/runtime_console.h"

#include "component/module/runtime_loader.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/console.h"

namespace vk2 {
namespace {

class RuntimeConsole final : public ScriptConsole {
 public:
  explicit RuntimeConsole(RefPtr<MConsole> console) : console_(std::move(console)) {}
  // Every script line is a whole entry of its own.
  void Write(int32_t level, const TString& text) override {
    console_->Write(level, text.c_str(), 1);
  }
  void SetDiskLogging(bool enabled) override { console_->SetDiskLogging(enabled); }

 private:
  RefPtr<MConsole> console_;
};

}  // namespace

std::shared_ptr<ScriptConsole> MakeRuntimeConsole() {
  RefPtr<MConsole> console = CreateRuntimeObject<MConsole>(kServiceClass, kIID_MConsole);
  if (!console) return nullptr;
  return std::make_shared<RuntimeConsole>(std::move(console));
}

}  // namespace vk2

#include "audio/readers/cd/cd_errors.h"

#include "audio/common/module_error_table.h"

namespace vk2 {
namespace {

ModuleErrorTable& Table() {
  static ModuleErrorTable table(
      kCdErrorsTable, {"unknown error extracting cdaudio", "cd audio extraction - read failed"});
  return table;
}

}  // namespace

void RegisterCdErrorsTable(MErrorRegistry* registry) {
  Table().Register(registry);
}

int32_t CdError(CdErrorEntry entry) {
  return Table().Code(entry);
}

const char* CdErrorMessage(CdErrorEntry entry) {
  return Table().Message(entry);
}

}  // namespace vk2

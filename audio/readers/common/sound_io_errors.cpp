#include "audio/readers/common/sound_io_errors.h"

#include "audio/common/module_error_table.h"

namespace vk2 {
namespace {

ModuleErrorTable& Table() {
  static ModuleErrorTable table(kSoundIoTable,
                                {"the connection to the data source was disconnected unexpectedly",
                                 "the size of the data being read is unknown"});
  return table;
}

}  // namespace

void RegisterSoundIoTable(MErrorRegistry* registry) {
  Table().Register(registry);
}

int32_t SoundIoError(SoundIoEntry entry) {
  return Table().Code(entry);
}

}  // namespace vk2

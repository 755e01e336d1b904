// The player's error table, "Velkora Audio Player Control", and the texts of failures.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/core/player.h"

namespace vk2 {

class MErrorRegistry;

class PlayerErrors {
 public:
  // Registers the table; the codes the registry gives replace the stand-ins (-301 down).
  void Register(MErrorRegistry* registry);
  int32_t operator()(PlayerError entry) const { return codes_[static_cast<uint32_t>(entry)]; }

 private:
  int32_t codes_[kPlayerErrorCount] = {-301, -302, -303, -304, -305, -306, -307, -308, -309};
};

const char* PlayerErrorMessage(PlayerError entry);

// The registry's message for `code`, or "unknown error".
TString FailureText(MErrorRegistry* registry, int32_t code);

}  // namespace vk2

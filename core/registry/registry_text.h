// The named-object registry's texts: which names stay quiet, how temporary names are made and
// the lines it writes to the console.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"

namespace vk2 {

// A name of the form "<anything>_<eight hexadecimal digits>": its additions and removals are
// not announced (temporary names are of this form).
bool IsQuietName(const TString& name);

// "<base>_<value as eight lower-case hexadecimal digits>".
TString TemporaryName(const TString& base, uint32_t value);

// A console line of the registry.
struct RegistryLine {
  int32_t level = 0;
  TString text;
};

enum class RegistryMessage {
  kAlreadyExists,     // level 7: kind, name
  kNotCreated,        // level 7: kind, name
  kAdded,             // level 1: kind, name
  kNotFoundToRemove,  // level 7: kind, name
  kRemoved,           // level 1: kind, name
  kNotFoundToRename,  // level 7: kind, old name
  kRenamed,           // level 1: kind, old name, new name
};

RegistryLine MakeRegistryLine(RegistryMessage message, const TString& kind, const TString& name,
                              const TString& newName = TString());

}  // namespace vk2

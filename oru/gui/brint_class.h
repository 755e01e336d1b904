// BrintClass: what the runtime's MCreateInstance makes for the GUI layer's class id.
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"
#include "interfaces/unknown.h"

namespace vk2::gui {

// Makes the object that answers `iid` (window parts aggregated into `outer` when given).
// kErrNoInterface for an id the GUI layer does not serve.
int32_t CreateBrintObject(const Guid& iid, void** out, MUnknown* outer);

// Control parts join the class through this table (brint_part_table.cpp): one row per part
// interface, each with the function that makes the part.
using BrintPartFactory = int32_t (*)(MUnknown* outer, const Guid& iid, void** out);
struct BrintPartRow {
  const Guid* iid;
  BrintPartFactory create;
};
extern const BrintPartRow kBrintPartTable[];
extern const int32_t kBrintPartCount;

}  // namespace vk2::gui

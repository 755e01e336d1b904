// Where the PLS and XPL formats get their INI and XML documents. The media core module asks
// the runtime for them (ServiceClass with MIniFile or MXmlDocument); tests and fuzz targets
// hand in the runtime's implementations directly.
#pragma once

#include "foundation/util/ref_ptr.h"
#include "interfaces/runtime/ini_file.h"
#include "interfaces/runtime/xml_document.h"

namespace vk2 {

struct PlaylistDocuments {
  // Each answers a new empty document, or null when none can be had (kErrPlaylistNoDocument).
  RefPtr<MIniFile> (*newIni)() = nullptr;
  RefPtr<MXmlDocument> (*newXml)() = nullptr;
};

}  // namespace vk2

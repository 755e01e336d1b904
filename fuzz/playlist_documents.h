// The INI and XML documents the PLS and XPL formats read through, made directly from the
// runtime's own classes.
#pragma once

#include "core/formats/playlist_documents.h"
#include "oru/services/ini/ini_file.h"
#include "oru/services/xml/xml_document.h"

namespace vk2::fuzz {

inline PlaylistDocuments RuntimeDocuments() {
  return PlaylistDocuments{
      [] { return RefPtr<MIniFile>(new oru::IniFileObject); },
      [] { return RefPtr<MXmlDocument>(new oru::XmlDocumentObject); },
  };
}

}  // namespace vk2::fuzz

// The runtime's own INI and XML documents, handed to the playlist formats directly.
#pragma once

#include "core/formats/playlist_documents.h"
#include "oru/services/ini/ini_file.h"
#include "oru/services/xml/xml_document.h"

namespace vk2::test {

inline RefPtr<MIniFile> NewIni() {
  return RefPtr<MIniFile>(new oru::IniFileObject);
}
inline RefPtr<MXmlDocument> NewXml() {
  return RefPtr<MXmlDocument>(new oru::XmlDocumentObject);
}
inline PlaylistDocuments RuntimeDocuments() {
  return PlaylistDocuments{&NewIni, &NewXml};
}

}  // namespace vk2::test

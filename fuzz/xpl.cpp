// XPL reading: any bytes give records or a clean error; what was read writes back and reads
// again to as many records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/files/file_stream.h"
#include "core/formats/xpl.h"
#include "core/playlist/item_info.h"
#include "oru/services/ini/ini_file.h"
#include "oru/services/xml/xml_document.h"

namespace {

vk2::RefPtr<vk2::MIniFile> NewIni() {
  return vk2::RefPtr<vk2::MIniFile>(new vk2::oru::IniFileObject);
}
vk2::RefPtr<vk2::MXmlDocument> NewXml() {
  return vk2::RefPtr<vk2::MXmlDocument>(new vk2::oru::XmlDocumentObject);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const vk2::PlaylistDocuments documents{&NewIni, &NewXml};
  vk2::FileStream in;
  in.OpenMemory(const_cast<uint8_t*>(data), size, true, nullptr, nullptr, u"/m/x/list.xpl");
  vk2::IsXplFile(&in);
  vk2::ItemInfoArray items;
  const int32_t n = vk2::ReadXpl(&in, &items, documents);
  if (n < 0) {
    if (items.Count() != 0) std::abort();
    return 0;
  }
  if (static_cast<uint32_t>(n) != items.Count()) std::abort();
  for (bool relative : {false, true}) {
    vk2::FileStream out;
    out.OpenBuffer(u"/m/x/list.xpl");
    if (vk2::WriteXpl(&out, items, relative, documents) != n) std::abort();
    vk2::FileStream again;
    again.OpenMemory(const_cast<uint8_t*>(out.Buffer().data()), out.Buffer().size(), true, nullptr,
                     nullptr, u"/m/x/list.xpl");
    vk2::ItemInfoArray back;
    if (vk2::ReadXpl(&again, &back, documents) != n) std::abort();
  }
  return 0;
}

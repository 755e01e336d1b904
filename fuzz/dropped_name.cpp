// Sorting dropped names: any text is sorted into exactly one kind without harm, and what each
// kind carries is consistent (streams keep their text, local names become absolute paths,
// media files become "file://" URLs of those paths, playlist files name a loader that exists).
// The file system is stood in for by the input's first byte, so that every kind is reached.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/files/folder_walk.h"
#include "core/loaders/dropped_name.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t disk = data[0];
  const vk2::TString text = vk2::FromNarrowString(
      reinterpret_cast<const char*>(data + 1), static_cast<int32_t>(size < 4096 ? size - 1 : 4095));
  const vk2::PathKindProbe probe = [disk](const vk2::TString& path) {
    const uint32_t pick = (disk + path.Length()) % 3;
    return pick == 0   ? int32_t{vk2::kPathAbsent}
           : pick == 1 ? int32_t{vk2::kPathFile}
                       : int32_t{vk2::kPathFolder};
  };
  const vk2::TString filters[] = {u"*.xpl", u"*.pls", u"*.m3u;*.m3u8", u"a?c"};
  const vk2::DroppedName name = vk2::SortDroppedName(text, filters, u"/base/", probe);
  using vk2::DroppedKind;
  if ((name.kind == DroppedKind::kEmpty) != text.IsEmpty()) std::abort();
  switch (name.kind) {
    case DroppedKind::kStream:
      if (!(name.url == text) || !vk2::IsStreamUrl(text)) std::abort();
      break;
    case DroppedKind::kMediaFile:
      if (name.path.IsEmpty() || name.path[0] != u'/') std::abort();
      if (!(name.url == vk2::TString(u"file://").Concat(name.path))) std::abort();
      break;
    case DroppedKind::kPlaylistFile:
      if (name.loader < 0 || name.loader >= 4) std::abort();
      if (!vk2::FilterMatches(filters[name.loader], vk2::FileExtension(name.path))) std::abort();
      [[fallthrough]];
    case DroppedKind::kFolder:
    case DroppedKind::kPattern:
      if (name.path.IsEmpty() || name.path[0] != u'/') std::abort();
      break;
    case DroppedKind::kEmpty:
    case DroppedKind::kAbsent:
      break;
  }
  return 0;
}

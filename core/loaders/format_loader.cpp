#include "core/loaders/format_loader.h"

#include <new>

#include "component/object/com_object.h"
#include "core/formats/m3u.h"
#include "core/formats/pls.h"
#include "core/formats/xpl.h"
#include "core/loaders/playlist_transfer.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

int32_t ReadM3uWith(FileStream* stream, ItemInfoArray* items, const PlaylistDocuments&) {
  return ReadM3u(stream, items);
}
int32_t WriteM3uWith(FileStream* stream, const ItemInfoArray& items, bool extended, bool relative,
                     const PlaylistDocuments&) {
  return WriteM3u(stream, items, extended, relative);
}
int32_t WritePlsWith(FileStream* stream, const ItemInfoArray& items, bool cached, bool relative,
                     const PlaylistDocuments& documents) {
  return WritePls(stream, items, cached, relative, documents);
}
int32_t WriteXplWith(FileStream* stream, const ItemInfoArray& items, bool, bool relative,
                     const PlaylistDocuments& documents) {
  return WriteXpl(stream, items, relative, documents);
}

class FormatLoader final
    : public ComObject<FormatLoader, Face<MPlaylistLoader, kIID_MPlaylistLoader>> {
 public:
  FormatLoader(const PlaylistFormat& format, const PlaylistDocuments& documents)
      : format_(format), documents_(documents) {}

  int32_t Describe(std::vector<PlaylistLoaderDescription>* out) override {
    if (!out) return kErrMissingArg;
    out->assign(1, {format_.filter, format_.description, format_.priority});
    return kOk;
  }
  bool CanRead(FileStream* stream) override {
    if (!stream) return false;
    return !format_.canRead || format_.canRead(stream);
  }
  int32_t ReadIntoPlaylist(FileStream* stream, MPlaylist* playlist) override {
    if (!playlist) return kErrMissingArg;
    ItemInfoArray records;
    const int32_t r = Read(stream, &records);
    if (r < 0) return r;
    return ReplacePlaylistItems(playlist, std::move(records));
  }
  int32_t Read(FileStream* stream, ItemInfoArray* items) override {
    if (!items) return kErrMissingArg;
    return format_.read(stream, items, documents_);
  }
  int32_t WritePlaylist(FileStream* stream, MPlaylist* playlist, int32_t flagA,
                        int32_t flagB) override {
    ItemInfoArray records;
    const int32_t r = SnapshotPlaylist(playlist, &records);
    if (r < 0) return r;
    return Write(stream, records, flagA, flagB);
  }
  int32_t Write(FileStream* stream, const ItemInfoArray& items, int32_t flagA,
                int32_t flagB) override {
    return format_.write(stream, items, flagA != 0, flagB != 0, documents_);
  }

 private:
  ~FormatLoader() override = default;

  const PlaylistFormat& format_;
  const PlaylistDocuments documents_;
};

}  // namespace

const PlaylistFormat kM3uFormat{u"*.m3u", "M3U Playlist Files", 0,
                                nullptr,  &ReadM3uWith,         &WriteM3uWith};
const PlaylistFormat kPlsFormat{u"*.pls", "PLS Playlist Files", 512, &IsPlsFile,
                                &ReadPls, &WritePlsWith};
const PlaylistFormat kXplFormat{u"*.xpl", "XPL Playlist Files", 768, &IsXplFile,
                                &ReadXpl, &WriteXplWith};

RefPtr<MPlaylistLoader> MakeFormatLoader(const PlaylistFormat& format,
                                         const PlaylistDocuments& documents) {
  auto* loader = new (std::nothrow) FormatLoader(format, documents);
  return RefPtr<MPlaylistLoader>(loader);
}

}  // namespace vk2

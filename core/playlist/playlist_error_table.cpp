#include "core/playlist/playlist_error_table.h"

#include "interfaces/runtime/error_registry.h"

namespace vk2 {
namespace {

constexpr const char* kMessages[kPlaylistErrorCount] = {
    "an ID specified was not found in the playlist",
    "an ID was specified more than once",
    "it's impossible to move an entry to be after itself",
    "the destination ID specified was not found in the playlist",
    "a playlist item info structure was missing its required URL member",
    "you tried to add an item to the playlist with an ID that another item already had",
    "total play time of playlist incalculable due to undefined member",
};

}  // namespace

const char* PlaylistErrorMessage(PlaylistError entry) {
  const auto i = static_cast<uint32_t>(entry);
  return i < kPlaylistErrorCount ? kMessages[i] : "";
}

PlaylistErrorCodes RegisterPlaylistErrors(MErrorRegistry* registry) {
  PlaylistErrorCodes codes;
  if (!registry) return codes;
  ErrorRecord records[kPlaylistErrorCount];
  for (uint32_t i = 0; i < kPlaylistErrorCount; ++i)
    records[i].message = kMessages[i];
  if (registry->RegisterTable(records, kPlaylistErrorCount, kPlaylistErrorTable) != 0) return codes;
  for (uint32_t i = 0; i < kPlaylistErrorCount; ++i) {
    if (records[i].code < 0) codes.codes[i] = records[i].code;
  }
  return codes;
}

}  // namespace vk2

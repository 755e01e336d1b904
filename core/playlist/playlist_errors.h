// The playlist's failures. The playlist registers its error table with the runtime, which
// assigns the codes; the storage and the orders return whatever codes they were given.
#pragma once

#include <cstdint>

namespace vk2 {

enum class PlaylistError : uint32_t {
  kIdNotFound = 0,
  kIdRepeated = 1,
  kMoveAfterItself = 2,
  kDestinationNotFound = 3,
  kUrlMissing = 4,
  kIdTaken = 5,
  kPlayTimeUndefined = 6,
};
inline constexpr uint32_t kPlaylistErrorCount = 7;

// The code of each entry; until a table is registered, stand-ins from -201 down.
struct PlaylistErrorCodes {
  int32_t codes[kPlaylistErrorCount] = {-201, -202, -203, -204, -205, -206, -207};

  int32_t operator()(PlaylistError e) const { return codes[static_cast<uint32_t>(e)]; }
};

}  // namespace vk2

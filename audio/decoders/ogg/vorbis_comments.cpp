#include "audio/decoders/ogg/vorbis_comments.h"

#include "foundation/text/ascii_case.h"

namespace vk2 {

std::optional<std::string> JoinCommentValues(const std::vector<std::string>& comments,
                                             std::string_view name) {
  if (name.empty()) return std::nullopt;
  std::optional<std::string> joined;
  for (const std::string& comment : comments) {
    if (comment.size() <= name.size() || comment[name.size()] != '=') continue;
    bool same = true;
    for (size_t i = 0; i < name.size() && same; ++i) {
      same = FoldAscii(comment[i]) == FoldAscii(name[i]);
    }
    if (!same) continue;
    if (joined) {
      joined->append(", ");
    } else {
      joined.emplace();
    }
    joined->append(comment, name.size() + 1);
  }
  return joined;
}

}  // namespace vk2

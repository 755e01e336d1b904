// Looking up Vorbis comments ("NAME=value", UTF-8) by name.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk2 {

// The values of every comment whose name equals `name` (ASCII case ignored), in order, joined
// with ", "; nothing when no comment has that name.
std::optional<std::string> JoinCommentValues(const std::vector<std::string>& comments,
                                             std::string_view name);

}  // namespace vk2

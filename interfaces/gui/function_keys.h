// Function keys as the GUI layer reports them in KeyEvent::key (beside the Key codes of
// window_element.h): F1 to F12 follow one another.
#pragma once

#include <cstdint>

namespace vk2 {

inline constexpr int32_t kKeyF1 = 0x110020;
inline constexpr int32_t kKeyF3 = kKeyF1 + 2;
inline constexpr int32_t kKeyF12 = kKeyF1 + 11;

}  // namespace vk2

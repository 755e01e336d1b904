// The runtime's own error tables and the entries other components test for.
#pragma once

#include <cstdint>

namespace vk2 {

// Codes -1 to -255 name generic failures; entry N of this table is code -(N + 1).
inline constexpr char kBasicErrorsTable[] = "Basic Errors";
inline constexpr uint32_t kBasicErrorNotFound = 4;  // code -5

inline constexpr char kPreferenceSystemTable[] = "Preference System";
enum PreferenceSystemEntry : uint32_t {
  kPrefsUnreadable = 0,
  kPrefsSectionMissing = 1,
  kPrefsSectionNotCreated = 2,
  kPrefsValueMissing = 3,
  kPrefsWrongType = 4,
  kPrefsNotSaved = 5,
  kPrefsValueExists = 6,
  kPrefsBadName = 7,
  kPrefsEntryCount = 8,
};

}  // namespace vk2

// Loading shared objects at run time (the runtime's module loader, the visual host).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vk2 {

// Why the last load failed, in the numbers the module loader turns into its results.
inline constexpr int32_t kLoadErrorNone = 0;
inline constexpr int32_t kLoadErrorFileNotFound = 2;
inline constexpr int32_t kLoadErrorOutOfMemory = 8;
// Anything else: not a shared object, a missing dependency or symbol, a failing constructor.
inline constexpr int32_t kLoadErrorOther = 31;

// Kept per thread in a trivially destructible record: a thread_local with a destructor would pin
// any module that links this file in memory, so it could never be unloaded.
struct LoadError {
  int32_t code = kLoadErrorNone;
  char message[512] = {};
  std::string_view text() const { return message; }
};

// dlopen with RTLD_NOW | RTLD_LOCAL: every symbol is bound at once, and none leaks into the
// lookup of other modules. Null on failure (see LastLoadError).
void* LoadSharedObject(const std::string& path);
// Null when the symbol is absent (see LastLoadError).
void* FindSymbol(void* library, const char* name);
// Drops one load of `library`. False for null or when the system refuses.
bool UnloadSharedObject(void* library);

// The failure of the last call above on the calling thread; cleared by each success.
const LoadError& LastLoadError();

// The code for the system's message `text` about loading `requested`. "File not found" only
// when the file named is itself missing; a missing dependency is another error.
int32_t LoadErrorCodeFor(std::string_view requested, std::string_view text);

}  // namespace vk2

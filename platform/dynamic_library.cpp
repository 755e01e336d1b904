#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>

namespace vk2 {
namespace {

thread_local LoadError tLastError;

void Succeeded() {
  tLastError.code = kLoadErrorNone;
  tLastError.message[0] = '\0';
}

void Failed(int32_t code, std::string_view text) {
  tLastError.code = code;
  const size_t n = std::min(text.size(), sizeof(tLastError.message) - 1);
  std::memcpy(tLastError.message, text.data(), n);
  tLastError.message[n] = '\0';
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace

int32_t LoadErrorCodeFor(std::string_view requested, std::string_view text) {
  if (Contains(text, "Cannot allocate memory") || Contains(text, "out of memory")) {
    return kLoadErrorOutOfMemory;
  }
  // The loader names the file it could not open first; for a missing dependency that name is
  // the dependency's, not the one asked for.
  if (Contains(text, "No such file or directory") && text.size() > requested.size() &&
      text.substr(0, requested.size()) == requested && text[requested.size()] == ':') {
    return kLoadErrorFileNotFound;
  }
  return kLoadErrorOther;
}

void* LoadSharedObject(const std::string& path) {
  if (path.empty()) {
    Failed(kLoadErrorFileNotFound, "no file name given");
    return nullptr;
  }
  dlerror();
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* text = dlerror();
    std::string message = text ? text : "the shared object could not be loaded";
    const int32_t code = LoadErrorCodeFor(path, message);
    Failed(code, message);
    return nullptr;
  }
  Succeeded();
  return library;
}

void* FindSymbol(void* library, const char* name) {
  if (!library || !name) {
    Failed(kLoadErrorOther, "no library or no symbol name given");
    return nullptr;
  }
  dlerror();
  void* symbol = dlsym(library, name);
  if (const char* text = dlerror()) {
    Failed(kLoadErrorOther, text);
    return nullptr;
  }
  if (!symbol) {
    Failed(kLoadErrorOther, std::string(name) + ": symbol has no address");
    return nullptr;
  }
  Succeeded();
  return symbol;
}

bool UnloadSharedObject(void* library) {
  if (!library) {
    Failed(kLoadErrorOther, "no library given");
    return false;
  }
  dlerror();
  if (dlclose(library) != 0) {
    const char* text = dlerror();
    Failed(kLoadErrorOther, text ? text : "the shared object could not be unloaded");
    return false;
  }
  Succeeded();
  return true;
}

const LoadError& LastLoadError() {
  return tLastError;
}

}  // namespace vk2

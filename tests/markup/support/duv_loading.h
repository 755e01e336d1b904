// Loading DUV text through the interface loader from an in-memory package.
#pragma once

#include <map>
#include <string>

#include "markup/definition/interface_loader.h"
#include "markup/package/memory_package.h"

namespace vk2::test {

struct LoadedDuv {
  int32_t result = 0;
  std::string error;
  RefPtr<markup::InterfaceLoader> loader;
  RefPtr<markup::MemoryPackage> package;

  // The first definition, or the one of that unique name.
  RefPtr<markup::InterfaceDefinition> Definition(const char16_t* name = nullptr) const;
};

// `text` as "index.mml" of a new package (with `files` beside it), loaded for `language` below
// `parent`.
LoadedDuv LoadDuv(const std::string& text, const char16_t* language = u"english",
                  MInterfaceDefinition* parent = nullptr,
                  std::map<std::string, std::string> files = {});

// A DUV 0.5 document around `body` (the inside of one `interface` element with `attributes`).
std::string Duv(const std::string& body, const std::string& attributes = "unique_name=\"t\"");

}  // namespace vk2::test

// One interface of an installed package, as the enumerator lists it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "foundation/text/tstring.h"

namespace vk2 {

// A frame or remote window of an interface: its name and the window definition it opens.
struct WindowPair {
  TString name;
  TString window;
};

struct InterfaceRecord {
  uint32_t identifier = 0;  // unique while the program runs
  TString path;             // the package the interface came from
  TString cosmeticName;
  TString uniqueName;  // the list's key, compared without regard to case
  TString version;
  TString author;
  TString urlTitle;
  TString url;
  uint32_t mmlVersion = 0;
  std::vector<WindowPair> frames;
  std::vector<WindowPair> remotes;
  // A broken-down time, zero in every record the enumerator makes; part of the cache's key.
  std::array<int32_t, 9> time{};
};

}  // namespace vk2

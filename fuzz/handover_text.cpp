// Splits the input as the launcher splits the bytes of a hand-over or a DDE execute request,
// and checks that the launcher's own joining of the tokens splits back into the same tokens
// whenever none holds a double quote (the one thing the joined form cannot carry).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "launcher/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vk2;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const TArray<TString> tokens = launcher::SplitCommandBytes(bytes);
  size_t total = 0;
  for (const TString& t : tokens)
    total += t.Length();
  if (total > size) std::abort();  // one UTF-16 unit at most per byte

  std::vector<std::string> args{"velkora2"};
  bool quoted = false;
  for (const TString& t : tokens) {
    args.emplace_back(Utf8(t).c_str());
    if (args.back().find('"') != std::string::npos) quoted = true;
    if (args.back().find('\0') != std::string::npos) quoted = true;
  }
  if (quoted) return 0;
  std::vector<const char*> argv;
  for (const std::string& a : args)
    argv.push_back(a.c_str());
  const std::string joined = launcher::JoinForHandOver(static_cast<int>(argv.size()), argv.data());
  const TArray<TString> again = launcher::SplitCommandBytes(joined);
  if (again.Count() != tokens.Count()) std::abort();
  for (uint32_t i = 0; i < tokens.Count(); ++i) {
    if (!(again[i] == tokens[i])) std::abort();
  }
  return 0;
}

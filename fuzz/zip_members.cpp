// Zip archives from untrusted bytes: every member name offered stays inside the archive, and
// reading any member either succeeds or fails cleanly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "oru/services/resources/archive_backend.h"
#include "oru/services/resources/member_names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The input doubles as a member name to check.
  std::string normal;
  std::string_view asName(reinterpret_cast<const char*>(data), size);
  auto leaves = [](const std::string& n) {
    return n.empty() || n.front() == '/' || n == ".." || n.rfind("../", 0) == 0 ||
           n.find("/../") != std::string::npos ||
           (n.size() >= 3 && n.compare(n.size() - 3, 3, "/..") == 0);
  };
  if (vk2::oru::NormalizeMemberName(asName, &normal) && leaves(normal)) std::abort();
  auto archive = vk2::oru::ZipBackend::OpenMemory(data, size, nullptr);
  if (!archive) return 0;
  for (const std::string& name : archive->Names()) {
    std::string again;
    if (!vk2::oru::NormalizeMemberName(name, &again) || again != name) std::abort();
    if (leaves(name)) std::abort();
    std::vector<uint8_t> bytes;
    archive->Read(name, &bytes);
  }
  return 0;
}

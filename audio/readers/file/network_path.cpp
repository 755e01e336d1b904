#include "audio/readers/file/network_path.h"

#include <sys/vfs.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <string>

#include "foundation/text/ascii_case.h"

namespace vk2 {
namespace {

// Computer names are at most 15 characters.
constexpr size_t kComputerNameChars = 15;

bool StartsWithFolded(std::u16string_view text, std::u16string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (FoldAscii(text[i]) != FoldAscii(prefix[i])) return false;
  }
  return true;
}

bool IsAsciiAlnum(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

std::u16string ThisComputerName() {
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) != 0) return {};
  std::u16string name;
  for (size_t i = 0; host[i] != '\0' && i < kComputerNameChars; ++i) {
    name.push_back(static_cast<char16_t>(static_cast<unsigned char>(host[i])));
  }
  return name;
}

}  // namespace

bool IsPathOnOtherMachine(std::u16string_view path, std::u16string_view computerName) {
  // Four backslashes and a dot, taken as written.
  if (path.starts_with(u"\\\\\\\\.")) path.remove_prefix(5);
  const bool unc = StartsWithFolded(path, u"\\\\?\\UNC\\");
  const bool share =
      path.size() > 2 && path[0] == u'\\' && path[1] == u'\\' && IsAsciiAlnum(path[2]);
  if (!unc && !share) return false;
  const std::u16string_view rest = path.substr(2);
  if (StartsWithFolded(rest, u"localhost\\") || StartsWithFolded(rest, u"127.0.0.1\\")) {
    return false;
  }
  if (!computerName.empty()) {
    std::u16string own(computerName);
    own.push_back(u'\\');
    if (StartsWithFolded(rest, own)) return false;
  }
  return true;
}

bool IsPathOnOtherMachine(std::u16string_view path) {
  static const std::u16string name = ThisComputerName();
  return IsPathOnOtherMachine(path, name);
}

bool IsOnNetworkFileSystem(const char* utf8Path) {
  struct statfs fs {};
  if (!utf8Path || ::statfs(utf8Path, &fs) != 0) return false;
  // Magic numbers of the network file systems (linux/magic.h and the file systems' own).
  constexpr std::array<uint32_t, 7> kNetwork = {
      0x6969,      // NFS
      0xFF534D42,  // CIFS
      0xFE534D42,  // SMB2
      0x517B,      // SMB
      0x564C,      // NCP
      0x00C36400,  // Ceph
      0x01021997,  // 9P
  };
  const auto type = static_cast<uint32_t>(fs.f_type);
  for (uint32_t magic : kNetwork) {
    if (type == magic) return true;
  }
  return false;
}

}  // namespace vk2

// Whether a path names a file on another machine: such files take longer to reach, which the
// reader's access cost and warm-up time say.
#pragma once

#include <string_view>

namespace vk2 {

// Share paths: after dropping a leading "\\\\." (four backslashes and a dot), a path that
// begins "\\?\UNC\" or with two backslashes and a letter or digit is a network path, unless
// the machine it names is "localhost", "127.0.0.1" or this computer (`computerName`, compared
// without regard to ASCII case). Other paths are local.
bool IsPathOnOtherMachine(std::u16string_view path, std::u16string_view computerName);
// The same with this computer's host name (the first 15 characters, as a computer name).
bool IsPathOnOtherMachine(std::u16string_view path);
// Whether a local path lies on a network file system (NFS, SMB/CIFS, and the like).
bool IsOnNetworkFileSystem(const char* utf8Path);

}  // namespace vk2

// A fresh folder under the system's temporary folder for one test, removed with everything in
// it afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vk2::test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  // The full path of `name` inside the folder; `folder / name` reads the same.
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::string operator/(const std::string& name) const { return File(name); }

  // Writes `bytes` to a file of that name in the folder and returns its full path.
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const;
  // Names of the entries directly inside, sorted.
  std::vector<std::string> List() const;

 private:
  std::string path_;
};

}  // namespace vk2::test

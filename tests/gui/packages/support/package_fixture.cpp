#include "tests/gui/packages/support/package_fixture.h"

#include <zip.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "component/module/runtime_loader.h"

namespace vk2::test {

std::string IndexText(const std::vector<IndexInterface>& interfaces) {
  std::string text = "<?mml version=\"0.5\"?>\n<mml>\n";
  for (const IndexInterface& one : interfaces) {
    text += "<interface unique_name=\"" + one.uniqueName + "\" " + one.attributes + ">\n" +
            one.body + "</interface>\n";
  }
  return text + "</mml>\n";
}

PackageFixture::PackageFixture() {
  std::filesystem::create_directories(InterfaceFolder());
  sandbox_ = std::make_unique<ModuleSandbox>(
      std::vector<std::string>{VK2_TEST_ORU_SO, VK2_TEST_TESSEL_SO});
  ready_ = LoadRuntime();
  services_ = RuntimePackageServices();
  const std::string program = ProgramFolder();
  services_.programFolder = [program] { return WideFromNarrow(program.c_str()); };
  services_.languageText = [](const char16_t* key) {
    return TString(u"<").ConcatText(key).ConcatText(u">");
  };
  std::shared_ptr<std::string> log = log_;
  services_.log = [log](int32_t level, const TString& text) {
    *log += std::to_string(level) + ":" + Utf8(text).c_str();
  };
  services_.interfacesChanged = [this] { ++installs_; };
}

PackageFixture::~PackageFixture() {
  services_ = PackageServices();
  if (ready_) UnloadRuntime();
}

std::string PackageFixture::TakeLog() {
  std::string text;
  text.swap(*log_);
  return text;
}

std::string PackageFixture::MakeZip(const std::string& path, const Members& members) {
  int error = 0;
  zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!z) return {};
  for (const auto& [name, data] : members) {
    zip_source_t* source = zip_source_buffer(z, data.data(), data.size(), 0);
    if (!source || zip_file_add(z, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
      if (source) zip_source_free(source);
      zip_discard(z);
      return {};
    }
  }
  return zip_close(z) == 0 ? path : std::string();
}

std::string PackageFixture::MakeFolder(const std::string& path, const Members& members) {
  for (const auto& [name, data] : members) {
    const std::filesystem::path file = std::filesystem::path(path) / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << data;
  }
  return path;
}

void PackageFixture::SetAge(const std::string& path, int seconds) {
  std::filesystem::path target(path);
  if (std::filesystem::is_directory(target)) target /= "index.mml";
  std::filesystem::last_write_time(
      target, std::filesystem::file_time_type::clock::now() + std::chrono::seconds(seconds));
}

}  // namespace vk2::test

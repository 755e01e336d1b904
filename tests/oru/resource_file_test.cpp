// Archives: zip files, folders and in-memory members answer alike and never reach outside.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zip.h>

#include <cstring>
#include <map>
#include <string>

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/prefs_dialog_registry.h"
#include "interfaces/runtime/resource_file.h"
#include "oru/services/resources/archive_backend.h"
#include "oru/services/resources/member_names.h"
#include "tests/oru/sandbox.h"
#include "tests/support/peak_memory.h"

namespace vk2::test {
namespace {

using Members = std::map<std::string, std::string>;

const Members kPackage = {
    {"index.mml", "<mml/>"},
    {"images/Button.png", std::string("\x89PNG\0\1\2", 7)},
    {"images/deep/x.txt", std::string(100000, 'x')},
};

bool MakeZip(const std::string& path, const Members& members, int32_t method = ZIP_CM_DEFAULT) {
  int error = 0;
  zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!z) return false;
  for (const auto& [name, data] : members) {
    zip_source_t* source = zip_source_buffer(z, data.data(), data.size(), 0);
    const zip_int64_t index = source ? zip_file_add(z, name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0 ||
        zip_set_file_compression(z, static_cast<zip_uint64_t>(index), method, 0) != 0) {
      if (index < 0) zip_source_free(source);
      zip_discard(z);
      return false;
    }
  }
  return zip_close(z) == 0;
}

std::string Read(MResourceFile* archive, const char* name, int32_t* result = nullptr) {
  MResourceStream* stream = nullptr;
  int32_t r = archive->OpenResource(name, &stream);
  if (result) *result = r;
  if (r != 0) return std::string("<").append(std::to_string(r)).append(">");
  std::string data(stream->Size(), '\0');
  int64_t n = stream->Read(data.data(), data.size());
  EXPECT_EQ(n, static_cast<int64_t>(data.size()));
  EXPECT_EQ(stream->Read(data.data(), 1), 0);
  stream->Release();
  return data;
}

std::vector<std::string> Names(MResourceFile* archive) {
  std::vector<std::string> names;
  NarrowString name;
  for (uint32_t i = 0; archive->GetMemberName(i, &name) == 0; ++i)
    names.push_back(name.c_str());
  return names;
}

class ResourceFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(session_.Bound()); }
  RefPtr<MResourceFile> NewArchive() {
    return CreateRuntimeObject<MResourceFile>(kServiceClass, kIID_MResourceFile);
  }
  Sandbox sandbox_;
  RuntimeSession session_;
};

TEST_F(ResourceFileTest, ZipAndFolderWithTheSameContentAnswerTheSame) {
  std::string zipPath = sandbox_.Root() + "/package.zip";
  ASSERT_TRUE(MakeZip(zipPath, kPackage));
  sandbox_.MakeFolder("package/images/deep");
  for (const auto& [name, data] : kPackage)
    sandbox_.WriteFile("package/" + name, data);

  auto zip = NewArchive();
  auto folder = NewArchive();
  ASSERT_TRUE(zip->OpenFile(WideFromNarrow(zipPath.c_str()).c_str()));
  ASSERT_TRUE(folder->OpenFile(WideFromNarrow((sandbox_.Root() + "/package").c_str()).c_str()));
  std::vector<std::string> zipNames = Names(zip.Get());
  std::vector<std::string> folderNames = Names(folder.Get());
  std::sort(zipNames.begin(), zipNames.end());
  EXPECT_EQ(zipNames, folderNames);
  const char* const lookups[] = {"index.mml",          "images/Button.png",
                                 "IMAGES\\button.PNG", "./images//deep/x.txt",
                                 "missing.png",        "images"};
  for (const char* name : lookups) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Read(zip.Get(), name), Read(folder.Get(), name));
  }
  int32_t r = 0;
  Read(zip.Get(), "missing.png", &r);
  EXPECT_EQ(r, kErrResourceNotFound);
  EXPECT_EQ(Read(zip.Get(), "index.mml"), "<mml/>");
}

TEST_F(ResourceFileTest, NamesLeavingTheArchiveAreRefused) {
  std::string zipPath = sandbox_.Root() + "/evil.zip";
  ASSERT_TRUE(MakeZip(zipPath, {{"../outside.txt", "escaped"},
                                {"/etc/absolute.txt", "absolute"},
                                {"a/../../up.txt", "up"},
                                {"C:\\drive.txt", "drive"},
                                {"fine.txt", "fine"}}));
  auto zip = NewArchive();
  ASSERT_TRUE(zip->OpenFile(WideFromNarrow(zipPath.c_str()).c_str()));
  EXPECT_EQ(Names(zip.Get()), std::vector<std::string>{"fine.txt"});
  for (const char* name : {"../outside.txt", "/etc/absolute.txt", "a/../../up.txt", "C:\\drive.txt",
                           "..\\outside.txt"}) {
    int32_t r = 0;
    Read(zip.Get(), name, &r);
    EXPECT_LT(r, 0) << name;
  }
  EXPECT_FALSE(FileExists(sandbox_.Root() + "/outside.txt"));

  // A folder: neither ".." nor a link may lead out of it.
  sandbox_.MakeFolder("pack");
  sandbox_.WriteFile("secret.txt", "secret");
  ASSERT_EQ(::symlink((sandbox_.Root() + "/secret.txt").c_str(),
                      (sandbox_.Root() + "/pack/link.txt").c_str()),
            0);
  auto folder = NewArchive();
  ASSERT_TRUE(folder->OpenFile(WideFromNarrow((sandbox_.Root() + "/pack").c_str()).c_str()));
  int32_t r = 0;
  Read(folder.Get(), "../secret.txt", &r);
  EXPECT_LT(r, 0);
  Read(folder.Get(), "link.txt", &r);
  EXPECT_EQ(r, kErrResourceNotFound);
}

TEST_F(ResourceFileTest, ArchivesFromMemory) {
  std::string zipPath = sandbox_.Root() + "/m.zip";
  ASSERT_TRUE(MakeZip(zipPath, kPackage));
  std::string bytes = ReadTextFile(zipPath);
  auto archive = NewArchive();
  ASSERT_TRUE(archive->OpenMemory(bytes.data(), bytes.size(), true));
  bytes.assign(bytes.size(), '\0');  // copied: the caller's buffer may change
  EXPECT_EQ(Read(archive.Get(), "index.mml"), "<mml/>");
  EXPECT_FALSE(archive->OpenMemory("not a zip", 9, true));
  EXPECT_EQ(Read(archive.Get(), "index.mml"), "<mml/>") << "a failed open keeps the archive";
  ASSERT_EQ(archive->Close(), 0);
  int32_t r = 0;
  Read(archive.Get(), "index.mml", &r);
  EXPECT_EQ(r, kErrResourceNotFound);
  EXPECT_FALSE(archive->OpenFile(u"/nonexistent.zip"));
}

TEST_F(ResourceFileTest, PrefsDialogRegistryIsAOneMemberArchive) {
  auto dialogs =
      CreateRuntimeObject<MPrefsDialogRegistry>(kServiceClass, kIID_MPrefsDialogRegistry);
  ASSERT_TRUE(dialogs);
  const char pane[] = "<?mml version=\"0.5\"?><mml/>";
  EXPECT_NE(dialogs->LoadFromMemory(pane, sizeof pane - 1, "dlgs.xml", 0), 0);
  EXPECT_EQ(dialogs->LoadFromMemory(pane, sizeof pane - 1, "../x.xml", 0), 0);
  void* p = nullptr;
  ASSERT_EQ(dialogs->QueryInterface(kIID_MResourceFile, &p, 1, 0), 0);
  auto archive = RefPtr<MResourceFile>::Adopt(static_cast<MResourceFile*>(p));
  EXPECT_EQ(Names(archive.Get()), std::vector<std::string>{"dlgs.xml"});
  EXPECT_EQ(Read(archive.Get(), "DLGS.XML"), pane);
}

struct NameCase {
  const char* name;
  const char* normal;  // null: refused
};

// Rewrites the uncompressed size of every member, in the local headers and the central
// directory alike, so that the archive lies consistently.
std::string WithStatedSize(std::string zip, uint32_t size) {
  const struct {
    const char* signature;
    size_t sizeOffset;
  } records[] = {{"PK\3\4", 22}, {"PK\1\2", 24}};
  for (const auto& r : records) {
    for (size_t at = zip.find(r.signature); at != std::string::npos;
         at = zip.find(r.signature, at + 4)) {
      for (int i = 0; i < 4; ++i)
        zip[at + r.sizeOffset + i] = static_cast<char>(size >> (8 * i));
    }
  }
  return zip;
}

std::string Noise(size_t n) {
  std::string out(n, '\0');
  uint32_t x = 12345;
  for (char& c : out) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  return out;
}

TEST(ZipMemberSizeTest, StatedSizesNeverSizeTheRead) {
  // Small archives whose members claim far more than their data gives: each read is refused
  // as damaged (or too large), and none makes room for the claim.
  Sandbox sandbox;
  Members twenty;
  for (int i = 0; i < 20; ++i)
    twenty[std::string("m").append(std::to_string(i))] = "hello";
  struct Case {
    const char* name;
    Members members;
    int32_t method;
    uint32_t statedSize;
    int32_t result;
  };
  const Case cases[] = {
      {"stored, claims 500 MiB", {{"a", "hello"}}, ZIP_CM_STORE, 500u << 20, -7},
      {"deflated, claims 500 MiB", {{"a", "hello"}}, ZIP_CM_DEFLATE, 500u << 20, -7},
      {"twenty deflated members, 500 MiB each", twenty, ZIP_CM_DEFLATE, 500u << 20, -7},
      // Within what deflate could expand to, so only reading in steps keeps memory small.
      {"deflated noise, claims 256 MiB", {{"a", Noise(300000)}}, ZIP_CM_DEFLATE, 256u << 20, -7},
      {"bzip2, claims 500 MiB", {{"a", "hello"}}, ZIP_CM_BZIP2, 500u << 20, -7},
      {"claims more than any member may hold", {{"a", "hello"}}, ZIP_CM_DEFLATE, 600u << 20, -16},
  };
  constexpr int64_t kBound = 16 << 20;
  for (const Case& c : cases) {
    if (!zip_compression_method_supported(c.method, 0)) {
      ADD_FAILURE() << c.name << ": libzip lacks the method";
      continue;
    }
    const std::string path = sandbox.Root() + "/lying.zip";
    ASSERT_TRUE(MakeZip(path, c.members, c.method)) << c.name;
    const std::string zip = WithStatedSize(ReadTextFile(path), c.statedSize);
    const int64_t growth = PeakMemoryGrowth([&] {
      auto archive = oru::ZipBackend::OpenMemory(reinterpret_cast<const uint8_t*>(zip.data()),
                                                 zip.size(), nullptr);
      if (!archive) _exit(2);
      for (const std::string& name : archive->Names()) {
        std::vector<uint8_t> bytes;
        if (archive->Read(name, &bytes) != c.result || !bytes.empty()) _exit(3);
      }
    });
    EXPECT_GE(growth, 0) << c.name << ": refused wrongly, or the child failed";
    EXPECT_LT(growth, kBound) << c.name;
  }
}

TEST(MemberNamesTest, Normalisation) {
  const NameCase cases[] = {
      {"a/b.txt", "a/b.txt"}, {"a\\b.txt", "a/b.txt"}, {"./a//b/", "a/b"}, {"a/./b", "a/b"},
      {"", nullptr},          {"/a", nullptr},         {"\\a", nullptr},   {"c:a", nullptr},
      {"a/../b", nullptr},    {"..", nullptr},         {"./", nullptr},    {"a/..", nullptr},
      {"..a/b", "..a/b"},     {"a../b", "a../b"},
  };
  for (const NameCase& c : cases) {
    std::string out;
    bool ok = oru::NormalizeMemberName(c.name, &out);
    EXPECT_EQ(ok, c.normal != nullptr) << c.name;
    if (ok && c.normal) {
      EXPECT_EQ(out, c.normal);
    }
  }
}

}  // namespace
}  // namespace vk2::test

// INI files: reading, writing in place, keeping what the program does not touch.
#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/ini_file.h"
#include "oru/services/ini/ini_document.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {
namespace {

constexpr char kText[] =
    "; playlist written by hand\r\n"
    "[playlist]\r\n"
    "File1 = /music/a.mp3\r\n"
    "Title1=Song A\r\n"
    "NumberOfEntries=2\r\n"
    "\r\n"
    "# trailing comment\r\n"
    "[Other]\r\n"
    "junk line without equals\r\n"
    "x=1\r\n";

TEST(IniDocumentTest, ReadsSectionsAndKeysWithoutRegardToCase) {
  oru::IniDocument doc;
  doc.Parse(kText);
  EXPECT_EQ(doc.Get("PLAYLIST", "file1"), "/music/a.mp3");
  EXPECT_EQ(doc.Get("playlist", "Title1"), "Song A");
  EXPECT_EQ(doc.Get("other", "x"), "1");
  EXPECT_FALSE(doc.Get("playlist", "x"));
  EXPECT_FALSE(doc.Get("missing", "x"));
}

TEST(IniDocumentTest, WritingChangesOnlyTheLinesWritten) {
  oru::IniDocument doc;
  doc.Parse(kText);
  ASSERT_TRUE(doc.Set("playlist", "NumberOfEntries", "3"));
  ASSERT_TRUE(doc.Set("Playlist", "File3", "c.ogg"));
  ASSERT_TRUE(doc.Set("new", "k", "v"));
  EXPECT_EQ(doc.Format(),
            "; playlist written by hand\n"
            "[playlist]\n"
            "File1 = /music/a.mp3\n"
            "Title1=Song A\n"
            "NumberOfEntries=3\n"
            "File3=c.ogg\n"
            "\n"
            "# trailing comment\n"
            "[Other]\n"
            "junk line without equals\n"
            "x=1\n"
            "\n"
            "[new]\n"
            "k=v\n");
}

TEST(IniDocumentTest, ReadingWhatWasWrittenGivesTheSameText) {
  // Found by fuzzing: a value followed by two CRs read back differently.
  oru::IniDocument doc;
  doc.Parse("[s]\r\nkey=\r\r\nx=1\r");
  EXPECT_EQ(doc.Get("s", "key"), "");
  std::string written = doc.Format();
  oru::IniDocument again;
  again.Parse(written);
  EXPECT_EQ(again.Format(), written);
  // And a file that starts with its byte order mark twice.
  doc.Parse("\xEF\xBB\xBF\xEF\xBB\xBF[s]\nk=v\n");
  EXPECT_EQ(doc.Get("s", "k"), "v");
  EXPECT_EQ(doc.Format(), "[s]\nk=v\n");
}

TEST(IniDocumentTest, RefusesWhatWouldBreakTheLineStructure) {
  oru::IniDocument doc;
  EXPECT_FALSE(doc.Set("s", "k", "two\nlines"));
  EXPECT_FALSE(doc.Set("s", "a=b", "v"));
  EXPECT_FALSE(doc.Set("s]", "k", "v"));
  EXPECT_FALSE(doc.Set("s", "", "v"));
  EXPECT_FALSE(doc.Set("s", ";k", "v"));
  EXPECT_EQ(doc.Format(), "");
}

TEST(IniDocumentTest, RepeatedKeysAndSectionsKeepTheirOrderThroughEdits) {
  oru::IniDocument doc;
  doc.Parse(
      "[s]\n"
      "k=first\n"
      "; note\n"
      "K=second\n"
      "last=1\n"
      "\n"
      "[t]\n"
      "a=1\n"
      "[S]\n"
      "k=third\n"
      "; tail\n");
  // The first of a repeated key is the one read and written; removing it uncovers the next.
  EXPECT_EQ(doc.Get("s", "K"), "first");
  ASSERT_TRUE(doc.Set("s", "k", "changed"));
  EXPECT_EQ(doc.Get("s", "k"), "changed");
  ASSERT_TRUE(doc.RemoveKey("S", "k"));
  EXPECT_EQ(doc.Get("s", "k"), "second");
  ASSERT_TRUE(doc.RemoveKey("s", "k"));
  EXPECT_EQ(doc.Get("s", "k"), "third");
  ASSERT_TRUE(doc.RemoveKey("s", "k"));
  EXPECT_FALSE(doc.Get("s", "k"));
  EXPECT_FALSE(doc.RemoveKey("s", "k"));
  // The section's last key line ("k=third", read from the repeated header) is gone: a new key
  // follows the key line that is last now.
  ASSERT_TRUE(doc.Set("s", "new", "2"));
  // A removed section can be made again, at the end.
  ASSERT_TRUE(doc.RemoveSection("T"));
  EXPECT_FALSE(doc.Get("t", "a"));
  ASSERT_TRUE(doc.Set("t", "b", "3"));
  EXPECT_EQ(doc.Format(),
            "[s]\n"
            "; note\n"
            "last=1\n"
            "new=2\n"
            "\n"
            "; tail\n"
            "\n"
            "[t]\n"
            "b=3\n");
}

TEST(IniDocumentTest, ManyKeysReadBackInFileOrder) {
  oru::IniDocument doc;
  constexpr int kKeys = 20000;
  for (int i = 1; i <= kKeys; ++i)
    ASSERT_TRUE(doc.Set("playlist", "File" + std::to_string(i), std::to_string(i * 7)));
  oru::IniDocument again;
  again.Parse(doc.Format());
  for (int i = kKeys; i >= 1; --i)
    ASSERT_EQ(again.Get("PlayList", "file" + std::to_string(i)), std::to_string(i * 7)) << i;
  const std::string text = again.Format();
  EXPECT_LT(text.find("File9=63\n"), text.find("File10=70\n"));
  EXPECT_EQ(text, doc.Format());
}

TEST(IniDocumentTest, RandomWritesAndRemovalsMatchAModel) {
  // Keys come and go many times over, in any case, so the key index fills with removed marks
  // and grows; order, values and lookups must follow a plain list.
  struct Entry {
    std::string key;
    std::string value;
  };
  std::vector<Entry> model;
  auto fold = [](std::string text) {
    for (char& c : text)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
  };
  auto position = [&](const std::string& key) {
    for (size_t i = 0; i < model.size(); ++i) {
      if (fold(model[i].key) == fold(key)) return static_cast<ptrdiff_t>(i);
    }
    return ptrdiff_t{-1};
  };
  std::mt19937 random(11);
  oru::IniDocument doc;
  for (int step = 0; step < 4000; ++step) {
    std::string key = "Key" + std::to_string(random() % 300);
    if (random() % 2) key = fold(key);
    const ptrdiff_t at = position(key);
    if (random() % 3 == 0) {
      EXPECT_EQ(doc.RemoveKey("s", key), at >= 0) << step;
      if (at >= 0) model.erase(model.begin() + at);
    } else {
      const std::string value = std::to_string(step);
      ASSERT_TRUE(doc.Set("s", key, value));
      if (at >= 0) {
        model[static_cast<size_t>(at)] = {key, value};
      } else {
        model.push_back({key, value});
      }
    }
    const std::string probe = "KEY" + std::to_string(random() % 300);
    const ptrdiff_t found = position(probe);
    const auto got = doc.Get("s", probe);
    ASSERT_EQ(got.has_value(), found >= 0) << step;
    if (got) {
      ASSERT_EQ(*got, model[static_cast<size_t>(found)].value) << step;
    }
  }
  // The section made by the first write stays, whatever its keys did.
  std::string expected = "[s]\n";
  for (const Entry& e : model)
    expected += e.key + "=" + e.value + "\n";
  EXPECT_EQ(doc.Format(), expected);
}

TEST(IniFileTest, ObjectLoadsSavesAndReadsNumbersStrictly) {
  Sandbox sandbox;
  RuntimeSession session;
  auto ini = CreateRuntimeObject<MIniFile>(kServiceClass, kIID_MIniFile);
  ASSERT_TRUE(ini);
  std::string path = sandbox.WriteFile("list.pls", kText);
  ASSERT_EQ(ini->Load(WideFromNarrow(path.c_str()).c_str()), 0);
  int32_t n = 0;
  ASSERT_EQ(ini->ReadInt("playlist", "numberofentries", &n), 0);
  EXPECT_EQ(n, 2);
  n = 77;
  EXPECT_EQ(ini->ReadInt("playlist", "Title1", &n), -16);
  EXPECT_EQ(ini->ReadInt("playlist", "Title9", &n), -5);
  EXPECT_EQ(n, 77);
  NarrowString s;
  ASSERT_EQ(ini->ReadString("playlist", "title1", &s), 0);
  EXPECT_STREQ(s.c_str(), "Song A");
  ASSERT_EQ(ini->WriteInt("playlist", "NumberOfEntries", -1), 0);
  ASSERT_EQ(ini->Remove("other", nullptr), 0);
  EXPECT_EQ(ini->Remove("other", nullptr), -5);
  std::string out = sandbox.Root() + "/saved.pls";
  ASSERT_EQ(ini->Save(WideFromNarrow(out.c_str()).c_str()), 0);
  EXPECT_EQ(ReadTextFile(out),
            "; playlist written by hand\n[playlist]\nFile1 = /music/a.mp3\nTitle1=Song A\n"
            "NumberOfEntries=-1\n\n# trailing comment\n");
  EXPECT_EQ(ini->Load(u"/nonexistent.ini"), -7);
}

}  // namespace
}  // namespace vk2::test

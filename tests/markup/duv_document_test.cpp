// DUV documents: version and shape checks, interface attributes, language choice, font styles,
// parent fallback, hit styles, the collected error report and package errors.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "interfaces/ids.h"
#include "tests/markup/support/duv_loading.h"
#include "tests/markup/support/markup_fixture.h"

namespace vk2::test {
namespace {

class DuvDocumentTest : public ::testing::Test {
 protected:
  InProcessMarkup services_;
};

TEST_F(DuvDocumentTest, TheSmallestDocumentLoadsWithItsAttributes) {
  LoadedDuv duv = LoadDuv(
      "<?mml version 0.5?><mml><interface cosmetic_name=\"Tiny\" unique_name=\"tiny\" "
      "author=\"A\" url=\"http://x\" url_title=\"X\" MML_version=\"3\" version=\"1.2\">"
      "<window name=\"main\"/></interface></mml>");
  ASSERT_EQ(duv.result, 0) << duv.error;
  EXPECT_EQ(duv.loader->Count(), 1);
  auto def = duv.Definition(u"TINY");
  ASSERT_TRUE(def);
  TString text;
  def->GetCosmeticName(&text);
  EXPECT_EQ(Narrow(text), "Tiny");
  def->GetUrlTitle(&text);
  EXPECT_EQ(Narrow(text), "X");
  def->GetVersionText(&text);
  EXPECT_EQ(Narrow(text), "1.2");
  EXPECT_EQ(def->GetMmlVersion(), 3);
  TArray<TString> names;
  ASSERT_EQ(def->ListWindowNames(&names, kGenericWindowClass), 0);
  ASSERT_EQ(names.Count(), 1u);
  EXPECT_EQ(Narrow(names[0]), "main");
  MInterfaceDefinition* none = nullptr;
  EXPECT_EQ(duv.loader->GetByName(u"other", &none), -5);
  EXPECT_EQ(duv.loader->GetByIndex(1, &none), -5);
  EXPECT_EQ(InProcessMarkup::TakeConsole(), "");
}

TEST_F(DuvDocumentTest, VersionAndShapeChecks) {
  struct Case {
    const char* text;
    int32_t result;
    const char* error;
  } cases[] = {
      {"<?mml version=\"0.5\"?><mml><interface/></mml>", 0, ""},
      {"<?mml version='0.50'?><mml><interface/></mml>", 0, ""},
      {"<?mml VERSION 0.5?><mml><interface/></mml>", 0, ""},
      {"<?mml version 0.6?><mml><interface/></mml>", -1, "Bad DUV version"},
      {"<?mml version 0.6?><root/>", -1, "Not an DUV Document!"},
      {"<mml><interface/></mml>", -1, "Bad DUV version"},
      {"<?mml version?><mml><interface/></mml>", -1, "Bad DUV version"},
      {"<?mml version 0.5?><mml/>", -9, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    LoadedDuv duv = LoadDuv(c.text);
    EXPECT_EQ(duv.result, c.result);
    EXPECT_EQ(duv.error, c.error);
    EXPECT_EQ(duv.loader->Count(), c.result == 0 ? 1 : 0);
  }
  LoadedDuv broken = LoadDuv("<?mml version 0.5?><mml><interface></mml>");
  EXPECT_EQ(broken.result, -16);
  EXPECT_NE(broken.error.find("index.mml, line 1"), std::string::npos) << broken.error;
}

TEST_F(DuvDocumentTest, ArgumentsAndPackageErrors) {
  auto loader = markup::InterfaceLoader::Make();
  auto package = markup::MemoryPackage::Make({{"index.mml", Duv("")}});
  LoadContext context;
  context.language = u"english";
  TString error;
  EXPECT_EQ(loader->LoadFromPackage(package.Get(), "missing.mml", &context, &error, nullptr), -17);
  LoadContext noLanguage;
  EXPECT_EQ(loader->LoadFromPackage(package.Get(), "index.mml", &noLanguage, &error, nullptr), -9);
  EXPECT_EQ(loader->LoadFromPackage(nullptr, "index.mml", &context, &error, nullptr), -9);
  ASSERT_EQ(loader->LoadFromPackage(package.Get(), "INDEX.MML", &context, &error, nullptr), 0);
  // A second load needs a Clear first.
  EXPECT_EQ(loader->LoadFromPackage(package.Get(), "index.mml", &context, &error, nullptr), -9);
  EXPECT_EQ(loader->Clear(), 0);
  EXPECT_EQ(loader->Count(), 0);
  EXPECT_EQ(loader->LoadFromPackage(package.Get(), "index.mml", &context, &error, nullptr), 0);
}

TEST_F(DuvDocumentTest, LanguageChoiceAgainstTheContext) {
  struct Case {
    const char* attributes;
    const char16_t* language;
    const char* chosen;
  } cases[] = {
      {"languages=\"english,german\"", u"GERMAN", "GERMAN"},
      {"languages=\"english,german\"", u"french", "english"},
      {"languages=\"english,german\" default_language=\"german\"", u"french", "german"},
      {"languages=\"english,german\" default_language=\"german\"", u"English", "English"},
      {"languages=\"\"", u"french", "french"},
      {"", u"french", "french"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attributes);
    LoadedDuv duv = LoadDuv(Duv("", c.attributes), c.language);
    ASSERT_EQ(duv.result, 0);
    LoadContext context;
    duv.Definition()->GetLanguageContext(&context);
    EXPECT_EQ(Narrow(context.language), c.chosen);
  }
}

TEST_F(DuvDocumentTest, LanguageSpecificFontStylesWinInEitherOrder) {
  const char* general = "<fontstyle name=\"title\" face=\"General\" size=\"10\"/>\n";
  const char* german = "<fontstyle name=\"Title\" face=\"German\" language=\"german\"/>\n";
  const char* french = "<fontstyle name=\"title\" face=\"French\" language=\"french\"/>\n";
  const char* second = "<fontstyle name=\"title\" face=\"Second\"/>\n";
  struct Case {
    std::string body;
    const char* face;
  } cases[] = {
      {std::string(general) + german, "German"},
      {std::string(german) + general, "German"},
      {std::string(french) + general, "General"},
      {std::string(general) + second, "General"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    LoadedDuv duv = LoadDuv(Duv(c.body), u"German");
    ASSERT_EQ(duv.result, 0);
    FontRecord font;
    EXPECT_EQ(duv.Definition()->GetFont(u"TITLE", nullptr, &font), 0);
    EXPECT_EQ(Narrow(font.face), c.face);
  }
}

TEST_F(DuvDocumentTest, ADialogFallsBackToItsParentDefinition) {
  LoadedDuv main =
      LoadDuv(Duv("<rect name=\"frame\">0,0,100,50</rect>\n"
                  "<color name=\"ink\">#102030</color>\n"
                  "<script name=\"common\">var x = 1;</script>\n"
                  "<windowtype name=\"Dial\" uid=\"ACB7B445-50C6-45CF-9F8C-F1F4F9081F2F\"/>\n",
                  "unique_name=\"main\""));
  ASSERT_EQ(main.result, 0);
  auto parent = main.Definition();
  LoadedDuv dialog = LoadDuv(Duv("<color name=\"ink\">#FFFFFF</color>\n"
                                 "<point name=\"corner\">frame</point>\n"
                                 "<window name=\"knob\" type=\"dial\"/>\n",
                                 "unique_name=\"dialog\""),
                             u"english", parent.Get());
  ASSERT_EQ(dialog.result, 0);
  auto def = dialog.Definition();
  double rect[4] = {};
  ASSERT_EQ(def->GetRect(u"frame", rect), 0);
  EXPECT_EQ(rect[2], 100);
  double point[2] = {};
  ASSERT_EQ(def->GetPoint(u"corner", point), 0);
  EXPECT_EQ(point[0], 0);
  uint32_t color = 0;
  ASSERT_EQ(def->GetColor(u"INK", &color), 0);
  EXPECT_EQ(color, 0xFFFFFFFFu);  // its own first
  TString script;
  ASSERT_EQ(def->GetScript(u"common", &script), 0);
  EXPECT_EQ(Narrow(script), "var x = 1;");
  Guid type;
  ASSERT_EQ(def->GetWindowTypeClass(u"Dial", &type), 0);
  EXPECT_EQ(type, kTextDisplayClass);
  TArray<TString> names;
  def->ListWindowNames(&names, kTextDisplayClass);
  EXPECT_EQ(names.Count(), 1u);
  EXPECT_EQ(def->GetRect(u"nothing", rect), -5);
  MInterfaceDefinition* back = nullptr;
  def->GetParentDefinition(&back);
  EXPECT_EQ(back, static_cast<MInterfaceDefinition*>(parent.Get()));
  back->Release();
}

TEST_F(DuvDocumentTest, HitStylesFromCodeListsAndNames) {
  LoadedDuv duv = LoadDuv(Duv("<hitstyle name=\"grip\" default_hitcode=\"BOTTOMRIGHT\"/>\n"));
  ASSERT_EQ(duv.result, 0);
  auto def = duv.Definition();
  struct Case {
    const char16_t* text;
    int32_t result;
    uint32_t code;
    const char* name;
  } cases[] = {
      {u"DRAG", 0, 0x3000, ""},
      {u"drag inputfocus", 0, 0x3008, ""},
      {u"GRIP", 0, 0xC000, "grip"},
      {u"nothing", -5, 0, ""},
  };
  for (const auto& c : cases) {
    MHitStyleDefinition* hit = nullptr;
    EXPECT_EQ(def->GetHitStyle(c.text, &hit), c.result);
    if (!hit) continue;
    EXPECT_EQ(hit->HitTest(0, 0), c.code);
    TString name;
    hit->GetName(&name);
    EXPECT_EQ(Narrow(name), c.name);
    hit->Release();
  }
}

TEST_F(DuvDocumentTest, BadValuesAreCollectedIntoOneReport) {
  LoadedDuv duv =
      LoadDuv(Duv("<rect name=\"r\">1,2,x</rect>\n"
                  "<color name=\"bad\">missing_ink</color>\n"
                  "<windowtype name=\"w\"\n"
                  "  uid=\"{nope}\"/>\n"
                  "<point name=\"p\">\n"
                  "  nowhere\n"
                  "</point>\n"
                  "<fontstyle name=\"9x\"/>\n",
                  "unique_name=\"skin\""));
  ASSERT_EQ(duv.result, 0);
  // Nothing is read or reported before the first lookup.
  EXPECT_EQ(InProcessMarkup::TakeConsole(), "");
  double rect[4] = {};
  ASSERT_EQ(duv.Definition()->GetRect(u"r", rect), 0);
  EXPECT_EQ(rect[2], 0);
  EXPECT_EQ(InProcessMarkup::TakeConsole(),
            "Error loading DUV:\nInterface: \tskin\nResource: \tindex.mml\n"
            "\tError in tag <fontstyle> on line (11):\n\t\"9x\" is not a valid name identifier.\n"
            "\tError in tag <rect> on line (4):\n\tUnable to get numeric value for rectangle "
            "coordinate #3 using '0' instead.\n"
            "\tError in tag <rect> on line (4):\n\tUnable to get numeric value for rectangle "
            "coordinate #4 using '0' instead.\n"
            "\tError in tag <point> on lines (8-10):\n\tPoint \"nowhere\" not found.\n\n"
            "\tError in tag <color> on line (5):\n\tcolor \"missing_ink\" not found.\n\n\n");
  // Read once: later lookups report nothing again.
  uint32_t color = 0;
  EXPECT_EQ(duv.Definition()->GetColor(u"bad", &color), -5);
  EXPECT_EQ(InProcessMarkup::TakeConsole(), "");
}

TEST(ServiceMessageTest, OnlyTheValueAndTheNameAreFilledIn) {
  EXPECT_EQ(Narrow(markup::FormatServiceMessage(u"%s: line %d %n%x%%s %", 7, u"skin.mml")),
            "skin.mml: line 7 %n%x%skin.mml %");
}

TEST_F(DuvDocumentTest, FontsWithoutABaseBuildOnTheDocumentsDefault) {
  LoadedDuv duv = LoadDuv(Duv("<fontstyle name=\"big\" size=\"+4\"/>\n"));
  ASSERT_EQ(duv.result, 0);
  // LoadDuv's context has no default font: the definition stands alone.
  FontRecord font;
  ASSERT_EQ(duv.Definition()->GetFont(u"big", nullptr, &font), 0);
  EXPECT_EQ(font.size, 4);
  auto loader = markup::InterfaceLoader::Make();
  LoadContext context;
  context.language = u"english";
  context.defaultFont.kind = FontRecordKind::kFace;
  context.defaultFont.face = u"Sans";
  context.defaultFont.size = 9;
  ASSERT_EQ(loader->LoadFromPackage(duv.package.Get(), "index.mml", &context, nullptr, nullptr), 0);
  MInterfaceDefinition* def = nullptr;
  ASSERT_EQ(loader->GetByIndex(0, &def), 0);
  ASSERT_EQ(def->GetFont(u"big", nullptr, &font), 0);
  EXPECT_EQ(font.size, 13);
  EXPECT_EQ(Narrow(font.face), "Sans");
  ASSERT_EQ(def->GetFont(nullptr, nullptr, &font), 0);
  EXPECT_EQ(font.size, 9);
  def->Release();
}

TEST_F(DuvDocumentTest, LookupsFromTwoThreadsNeverSeeAHalfReadDefinition) {
  // Many definitions make the first read long; the last colour is found by every thread or the
  // read was observed half done.
  std::string body;
  for (int i = 0; i < 300; ++i)
    body += "<rect name=\"r" + std::to_string(i) + "\">0,0,1,1</rect>\n";
  body += "<color name=\"last\">#00FF00</color>\n";
  std::string text = Duv(body);
  for (int round = 0; round < 5; ++round) {
    LoadedDuv duv = LoadDuv(text);
    ASSERT_EQ(duv.result, 0);
    auto def = duv.Definition();
    std::atomic<int> found{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
      threads.emplace_back([&] {
        while (!go)
          std::this_thread::yield();
        uint32_t color = 0;
        if (def->GetColor(u"last", &color) == 0 && color == 0xFF00FF00u) ++found;
      });
    }
    go = true;
    for (auto& thread : threads)
      thread.join();
    EXPECT_EQ(found, 4);
  }
}

}  // namespace
}  // namespace vk2::test

// The language service: texts and fonts by domain, several languages, fallback.
#include <gtest/gtest.h>

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/language_service.h"
#include "oru/services/language/language_data.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {
namespace {

constexpr char kFile[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<languages>
  <language name="english">
    <domain name="velkora gui">
      <text key="ok">OK</text>
      <text key="cancel">Cancel</text>
      <font key="display" face="Sans" size="10"/>
      <domain name="openfilesdialog">
        <text key="filedialog.LabelURL">URL:</text>
      </domain>
    </domain>
    <domain name="topmenu"><text key="file">File</text></domain>
  </language>
  <language name="German">
    <domain name="Velkora GUI">
      <text key="OK">Gut</text>
      <font key="display" face="DejaVu Sans" size="11"/>
      <domain name="openfilesdialog"/>
    </domain>
  </language>
</languages>)";

class LanguageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session_.Bound());
    service_ = CreateRuntimeObject<MLanguageService>(kServiceClass, kIID_MLanguageService);
    ASSERT_TRUE(service_);
    std::string path = sandbox_.WriteFile("english.xml", kFile);
    ASSERT_EQ(service_->LoadFile(WideFromNarrow(path.c_str()).c_str(), 0), 0);
  }
  RefPtr<MTextDomain> Domain(const char16_t* name, const char16_t* fallback = u"english") {
    MTextDomain* d = nullptr;
    if (service_->GetTextDomain(name, fallback, &d) != 0) return nullptr;
    return RefPtr<MTextDomain>::Adopt(d);
  }
  static std::string Text(MTextDomain* d, const char16_t* key) {
    TString t;
    if (d->GetText(key, &t) != 0) return "<none>";
    return Utf8(t).c_str();
  }

  Sandbox sandbox_;
  RuntimeSession session_;
  RefPtr<MLanguageService> service_;
};

TEST_F(LanguageTest, CurrentLanguageFirstThenTheDefault) {
  const TString wanted[] = {u"GERMAN", u"klingon"};
  ASSERT_EQ(service_->SetLanguages(wanted, 2), 0);
  TString current[4];
  ASSERT_EQ(service_->GetCurrentLanguages(current, 4), 1);
  EXPECT_STREQ(Utf8(current[0]).c_str(), "German") << "kept in the service's spelling";
  auto gui = Domain(u"velkora gui");
  ASSERT_TRUE(gui);
  EXPECT_EQ(Text(gui.Get(), u"ok"), "Gut");
  EXPECT_EQ(Text(gui.Get(), u"cancel"), "Cancel") << "falls back to the default language";
  EXPECT_EQ(Text(gui.Get(), u"nothing"), "<none>");
  TString face;
  int32_t size = 0;
  ASSERT_EQ(gui->GetFontFace(u"display", &face), 0);
  ASSERT_EQ(gui->GetFontSize(u"Display", &size), 0);
  EXPECT_STREQ(Utf8(face).c_str(), "DejaVu Sans");
  EXPECT_EQ(size, 11);
  EXPECT_EQ(gui->GetFontSize(u"menu", &size), -5);

  MTextDomain* sub = nullptr;
  ASSERT_EQ(gui->GetSubDomain(u"openfilesdialog", &sub), 0);
  EXPECT_EQ(Text(sub, u"filedialog.labelurl"), "URL:");
  sub->Release();
  EXPECT_EQ(gui->GetSubDomain(u"nothing", &sub), -5);
}

TEST_F(LanguageTest, LanguagesOfADomainAndUnknownChoices) {
  TString names[1];
  EXPECT_EQ(service_->GetLanguages(u"velkora gui", names, 1), 2);
  EXPECT_STREQ(Utf8(names[0]).c_str(), "english");
  EXPECT_EQ(service_->GetLanguages(u"topmenu", nullptr, 0), 1);
  const TString unknown[] = {u"klingon"};
  EXPECT_EQ(service_->SetLanguages(unknown, 1), -5);
  EXPECT_EQ(service_->GetCurrentLanguages(nullptr, 0), 0) << "a failed choice changes nothing";
  EXPECT_FALSE(Domain(u"no such domain"));
  EXPECT_FALSE(Domain(u"topmenu", u"german")) << "no language of the list has it";
  EXPECT_TRUE(Domain(u"topmenu"));
}

TEST_F(LanguageTest, ALaterFileAddsToALanguage) {
  const char more[] =
      "<language name=\"ENGLISH\"><domain name=\"velkora gui\"><text key=\"cancel\">Stop</text>"
      "</domain></language>";
  ASSERT_EQ(service_->LoadMemory(more, sizeof more - 1, 0), 0);
  auto gui = Domain(u"velkora gui");
  EXPECT_EQ(Text(gui.Get(), u"cancel"), "Stop");
  EXPECT_EQ(Text(gui.Get(), u"ok"), "OK");
  EXPECT_EQ(service_->GetLanguages(nullptr, nullptr, 0), 2);
  EXPECT_EQ(service_->LoadMemory("<languages><language>", 21, 0), -16);
  EXPECT_EQ(service_->LoadFile(u"/nonexistent.xml", 0), -7);
}

TEST(LanguageFileTest, RejectsOtherDocuments) {
  std::vector<oru::Language> languages;
  std::string error;
  EXPECT_FALSE(oru::ParseLanguageText("<other/>", &languages, &error));
  EXPECT_FALSE(oru::ParseLanguageText("<languages><language/></languages>", &languages, &error));
  EXPECT_TRUE(languages.empty());
}

}  // namespace
}  // namespace vk2::test

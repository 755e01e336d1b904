// What ships with the program, read by the engines that read it at run time: the resource
// archive's interfaces, the interface packages, the language file and the init script. Every
// name the player's code asks for must be there, every style block must name definitions that
// exist, and no document may report a markup error.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "interfaces/ids.h"
#include "markup/definition/interface_loader.h"
#include "oru/services/language/language_data.h"
#include "oru/services/resources/resource_archive.h"
#include "tests/markup/support/duv_loading.h"
#include "tests/markup/support/markup_fixture.h"

namespace vk2::test {
namespace {

constexpr char kSource[] = VK2_TEST_DATA_SOURCE;
constexpr char kStaged[] = VK2_TEST_DATA_STAGED;
constexpr char16_t kMood[] = u"ridurodoror/default_velkora2_mood/1.0";
// The user interface's window element classes that packages use for frames and display pages.
constexpr Guid kFrameWindowClass = MakeGuid("A22BA869-CF90-42F2-AA81-2A5890A49A3E");
constexpr Guid kBorderWindowClass = MakeGuid("7B86C313-0CA8-43ED-A2FF-0E50A0A421A6");

std::string ReadShipped(const std::string& relative) {
  std::ifstream in(std::string(kSource) + "/" + relative, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

RefPtr<MXmlNode> Property(MInterfaceDefinition* definition, const char16_t* name) {
  MXmlNode* node = nullptr;
  if (definition->GetProperty(name, &node) != 0) return nullptr;
  return RefPtr<MXmlNode>::Adopt(node);
}

bool HasStyle(MInterfaceDefinition* definition, const TString& name) {
  MMarkupDefinition* style = nullptr;
  if (definition->GetImageStyle(name.c_str(), &style) != 0) return false;
  style->Release();
  return true;
}

bool HasScript(MInterfaceDefinition* definition, const char16_t* name) {
  TString text;
  return definition->GetScript(name, &text) == 0 && !text.IsEmpty();
}

std::vector<std::string> WindowNames(MInterfaceDefinition* definition, const Guid& classId) {
  TArray<TString> names;
  definition->ListWindowNames(&names, classId);
  std::vector<std::string> out;
  for (const TString& name : names)
    out.push_back(Narrow(name));
  return out;
}

// The attributes of a style block name definitions by kind: "img_" an image style, "rect_" a
// rectangle, "*color*" a colour. Answers the attributes whose definition is missing.
std::vector<std::string> UnresolvedNames(MInterfaceDefinition* definition, MXmlNode* block) {
  std::vector<std::string> missing;
  for (int32_t i = 0; i < block->GetAttributeCount(); ++i) {
    TString name, value;
    block->GetAttributeAt(static_cast<uint32_t>(i), &name, &value);
    const std::string key = Narrow(name);
    bool found = true;
    if (key.rfind("img_", 0) == 0) {
      found = HasStyle(definition, value);
    } else if (key.rfind("rect_", 0) == 0) {
      double rect[4] = {};
      found = definition->GetRect(value.c_str(), rect) == 0;
    } else if (key.find("color") != std::string::npos) {
      uint32_t color = 0;
      found = definition->GetColor(value.c_str(), &color) == 0;
    }
    if (!found) missing.push_back(key + "=" + Narrow(value));
  }
  return missing;
}

// Font styles, colours and property blocks that windows name are looked up only when a window
// is made; this walks the whole document and answers, as "line: attribute=value", each
// reference that no definition of `definition` (or of its parents) answers, and each gradient
// corner or text colour given by name.
void CollectUnresolvedReferences(MInterfaceDefinition* definition, const markup::Element& element,
                                 std::vector<std::string>* missing) {
  MXmlNode* node = element.Node();
  for (int32_t i = 0; i < node->GetAttributeCount(); ++i) {
    TString name, value;
    node->GetAttributeAt(static_cast<uint32_t>(i), &name, &value);
    const std::string key = Narrow(name);
    bool found = true;
    if (key == "font_style") {
      FontRecord font;
      found = definition->GetFont(value.c_str(), nullptr, &font) == 0;
    } else if (key.rfind("color", 0) == 0 &&
               (Narrow(element.Tag()).rfind("gradient", 0) == 0 || element.Tag() == u"text")) {
      // A gradient's corners and a text primitive read colour values only, never names.
      const std::string text = Narrow(value);
      found = !text.empty() && (text[0] == '#' || (text[0] >= '0' && text[0] <= '9'));
    } else if (key == "font_color" || key.rfind("color", 0) == 0) {
      uint32_t color = 0;
      found = definition->GetColor(value.c_str(), &color) == 0;
    } else if (key == "property" && element.Tag() == u"window") {
      MXmlNode* block = nullptr;
      found = definition->GetProperty(value.c_str(), &block) == 0;
      if (block) block->Release();
    }
    if (!found) {
      missing->push_back(std::to_string(element.AttributeLine(name.c_str())) + ": " + key + "=" +
                         Narrow(value));
    }
  }
  for (const markup::Element& child : element.Children(nullptr))
    CollectUnresolvedReferences(definition, child, missing);
}

std::vector<std::string> UnresolvedReferences(MInterfaceDefinition* definition,
                                              const std::string& document) {
  std::vector<std::string> missing;
  if (markup::Element root = LoadElement(document)) {
    CollectUnresolvedReferences(definition, root, &missing);
  } else {
    missing.push_back("the document does not load");
  }
  return missing;
}

// A window without a hit style lets the pointer through to what lies below it, so a control
// that the user clicks or drags needs one. Answers the names of the controls that have none.
void CollectControlsWithoutHitStyle(const markup::Element& element,
                                    std::vector<std::string>* deaf) {
  static const char16_t* const kPointerTypes[] = {u"Button",  u"FillBar",    u"DlgCheckBox",
                                                  u"EditBox", u"SpinButton", u"Equalizer"};
  if (element.Tag() == u"window" && !element.HasAttribute(u"hitstyle")) {
    const TString type = element.Attribute(u"type");
    for (const char16_t* pointerType : kPointerTypes) {
      if (type == pointerType) deaf->push_back(Narrow(element.Attribute(u"name")));
    }
  }
  for (const markup::Element& child : element.Children(nullptr))
    CollectControlsWithoutHitStyle(child, deaf);
}

std::vector<std::string> ControlsWithoutHitStyle(const std::string& document) {
  std::vector<std::string> deaf;
  if (markup::Element root = LoadElement(document)) CollectControlsWithoutHitStyle(root, &deaf);
  return deaf;
}

// A visual window draws its visual and then hands the paint on to its window base, which draws
// the window's own image styles on top: an idle picture given as such a style hides every
// visual. It belongs in the window's "background" property, drawn only while no visual draws.
// Answers, for each visual window, what is wrong with its idle picture.
void CollectVisualWindowFaults(MInterfaceDefinition* definition, const markup::Element& element,
                               std::vector<std::string>* faults) {
  if (element.Tag() == u"window" && element.Attribute(u"type") == u"Visual") {
    const std::string name = Narrow(element.Attribute(u"name"));
    for (const markup::Element& child : element.Children(nullptr)) {
      if (child.Tag() == u"imagestyle" && child.Attribute(u"name") == u"background") {
        faults->push_back(name + ": a window background covers the visual");
      }
      if (child.Tag() == u"property" && child.HasAttribute(u"background") &&
          !HasStyle(definition, child.Attribute(u"background"))) {
        faults->push_back(name + ": no image style " + Narrow(child.Attribute(u"background")));
      }
    }
  }
  for (const markup::Element& child : element.Children(nullptr))
    CollectVisualWindowFaults(definition, child, faults);
}

std::vector<std::string> VisualWindowFaults(MInterfaceDefinition* definition,
                                            const std::string& document) {
  std::vector<std::string> faults;
  if (markup::Element root = LoadElement(document)) {
    CollectVisualWindowFaults(definition, root, &faults);
  } else {
    faults.push_back("the document does not load");
  }
  return faults;
}

class ShippedDataTest : public ::testing::Test {
 protected:
  // Loads a document the way the program does and reads all of its definitions and windows;
  // every markup report ends up in the console, which must stay empty.
  LoadedDuv Load(const std::string& relative, MInterfaceDefinition* parent = nullptr) {
    LoadedDuv duv = LoadDuv(ReadShipped(relative), u"english", parent);
    EXPECT_EQ(duv.result, 0) << relative << ": " << duv.error;
    for (uint32_t i = 0; duv.loader && i < static_cast<uint32_t>(duv.loader->Count()); ++i) {
      MInterfaceDefinition* definition = nullptr;
      if (duv.loader->GetByIndex(i, &definition) != 0) continue;
      WindowNames(definition, kGenericWindowClass);
      definition->Release();
    }
    EXPECT_EQ(InProcessMarkup::TakeConsole(), "") << relative;
    return duv;
  }

  InProcessMarkup services_;
};

TEST_F(ShippedDataTest, TheMoodCarriesEveryStyleBlockThePlayersWindowsRead) {
  LoadedDuv duv = Load("rez/vk2_res.xml");
  auto mood = duv.Definition(kMood);
  ASSERT_TRUE(mood);
  EXPECT_EQ(UnresolvedReferences(mood.Get(), ReadShipped("rez/vk2_res.xml")),
            std::vector<std::string>());
  for (const char16_t* block :
       {u"VK2_TopMenu", u"VK2_Mood_DisplayArea", u"VK2_SettingsWindow", u"VK2_ConsoleWindow",
        u"VK2_OnlineWindow", u"VK2_ViewerWindow", u"VK2_Scrollbar", u"MML_DlgCheckBoxMood",
        u"VK2_PlaylistWindow", u"VK2_StatusBar"}) {
    RefPtr<MXmlNode> node = Property(mood.Get(), block);
    ASSERT_TRUE(node) << Narrow(TString(block));
    EXPECT_EQ(UnresolvedNames(mood.Get(), node.Get()), std::vector<std::string>())
        << Narrow(TString(block));
  }
  // The check box mood names its state styles under attributes of its own.
  RefPtr<MXmlNode> checkMood = Property(mood.Get(), u"MML_DlgCheckBoxMood");
  for (const char16_t* state : {u"state0_imagestyle", u"state1_imagestyle"}) {
    TString style;
    ASSERT_EQ(checkMood->GetAttribute(state, &style), 0);
    EXPECT_TRUE(HasStyle(mood.Get(), style)) << Narrow(style);
  }

  auto globalInit = duv.Definition(u"ridurodoror/default_velkora2_globalinit/1.0");
  ASSERT_TRUE(globalInit);
  EXPECT_TRUE(HasScript(globalInit.Get(), u"VelkoraAppInit"));
  EXPECT_TRUE(HasScript(globalInit.Get(), u"VelkoraAppDeinit"));
}

TEST_F(ShippedDataTest, ThePreferenceDialogsHaveEveryPaneAndTheViewerWindow) {
  LoadedDuv moodDuv = Load("rez/vk2_res.xml");
  auto mood = moodDuv.Definition(kMood);
  ASSERT_TRUE(mood);
  LoadedDuv duv = Load("rez/vk2dlgs.xml", mood.Get());
  auto prefs = duv.Definition(u"ridurodoror/velkora2_prefs/1.0");
  ASSERT_TRUE(prefs);
  const std::vector<std::string> windows = WindowNames(prefs.Get(), kGenericWindowClass);
  EXPECT_EQ(UnresolvedReferences(prefs.Get(), ReadShipped("rez/vk2dlgs.xml")),
            std::vector<std::string>());
  EXPECT_EQ(ControlsWithoutHitStyle(ReadShipped("rez/vk2dlgs.xml")), std::vector<std::string>());
  for (const char* pane :
       {"languagePrefs", "playlistPrefs", "fileTypesPrefs", "networkPrefs", "miscPrefs",
        "audioOutPrefs", "visualPrefs", "noSettings", "VisViewerVisWindow"}) {
    EXPECT_NE(std::find(windows.begin(), windows.end(), pane), windows.end()) << pane;
  }
}

// Each shipped interface package, read below the mood as the program reads it.
struct PackageCase {
  const char* name;
  const char* index;
  const char16_t* uniqueName;
  std::vector<const char16_t*> pages;  // top-level windows the display asks for by name
};

class ShippedPackageTest : public ShippedDataTest,
                           public ::testing::WithParamInterface<PackageCase> {};

TEST_P(ShippedPackageTest, ThePackageNamesWhatThePlayerOpens) {
  const PackageCase& c = GetParam();
  LoadedDuv moodDuv = Load("rez/vk2_res.xml");
  auto mood = moodDuv.Definition(kMood);
  ASSERT_TRUE(mood);
  LoadedDuv duv = Load(c.index, mood.Get());
  auto skin = duv.Definition(c.uniqueName);
  ASSERT_TRUE(skin);
  TString unique;
  skin->GetUniqueName(&unique);
  EXPECT_GE(unique.Length(), 13u);  // shorter unique names are refused
  EXPECT_EQ(UnresolvedReferences(skin.Get(), ReadShipped(c.index)), std::vector<std::string>());
  EXPECT_EQ(ControlsWithoutHitStyle(ReadShipped(c.index)), std::vector<std::string>());
  EXPECT_EQ(VisualWindowFaults(skin.Get(), ReadShipped(c.index)), std::vector<std::string>());

  // The frames list "main", and every frame names a top-level window of the package.
  std::vector<std::string> windows = WindowNames(skin.Get(), kGenericWindowClass);
  for (const std::string& frameWindow : WindowNames(skin.Get(), kFrameWindowClass))
    windows.push_back(frameWindow);
  RefPtr<MXmlNode> frames = Property(skin.Get(), u"Velkora2");
  ASSERT_TRUE(frames);
  bool hasMain = false;
  const int32_t count = frames->GetChildCount(u"frame", kXmlElement);
  ASSERT_GT(count, 0);
  for (int32_t i = 0; i < count; ++i) {
    MXmlNode* raw = nullptr;
    ASSERT_EQ(frames->GetChild(u"frame", static_cast<uint32_t>(i), kXmlElement, &raw), 0);
    RefPtr<MXmlNode> frame = RefPtr<MXmlNode>::Adopt(raw);
    TString name, window;
    frame->GetAttribute(u"name", &name);
    frame->GetAttribute(u"window", &window);
    hasMain = hasMain || name == u"main";
    EXPECT_NE(std::find(windows.begin(), windows.end(), Narrow(window)), windows.end())
        << "frame " << Narrow(name) << " names no window " << Narrow(window);
  }
  EXPECT_TRUE(hasMain);

  const std::vector<std::string> pages = WindowNames(skin.Get(), kBorderWindowClass);
  for (const char16_t* page : c.pages) {
    const std::string name = Narrow(TString(page));
    EXPECT_NE(std::find(pages.begin(), pages.end(), name), pages.end()) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shipped, ShippedPackageTest,
    ::testing::Values(
        PackageCase{"default",
                    "interfaces/default/index.mml",
                    u"velkora2/default_skin/1.0",
                    {u"VK2_NavigationBar", u"VK2_PlayBar", u"VK2_StatusBar", u"VK2_Playlist",
                     u"VK2_Equalizer", u"VK2_Visual"}},
        PackageCase{"minimal", "interfaces/minimal/index.mml", u"velkora2/minimal_skin/1.0", {}}),
    [](const ::testing::TestParamInfo<PackageCase>& info) { return info.param.name; });

TEST_F(ShippedDataTest, TheStagedArchiveOpensAndHoldsTheMood) {
  RefPtr<oru::ResourceArchiveObject> archive(new oru::ResourceArchiveObject());
  ASSERT_TRUE(archive->OpenFile(Utf16(std::string(kStaged) + "/vk2.rez").c_str()));
  auto loader = markup::InterfaceLoader::Make();
  LoadContext context;
  context.language = u"english";
  TString error;
  ASSERT_EQ(loader->LoadFromPackage(archive.Get(), "vk2_res.xml", &context, &error, nullptr), 0)
      << Narrow(error);
  MInterfaceDefinition* found = nullptr;
  ASSERT_EQ(loader->GetByName(kMood, &found), 0);
  found->Release();
  MResourceStream* stream = nullptr;
  ASSERT_EQ(archive->OpenResource("vk2dlgs.xml", &stream), 0);
  stream->Release();
}

TEST_F(ShippedDataTest, TheLanguageFileGivesTheFontsAndTextsTheInterfaceAsksFor) {
  std::vector<oru::Language> languages;
  std::string error;
  ASSERT_TRUE(oru::ParseLanguageText(ReadShipped("lang/english.xml"), &languages, &error)) << error;
  ASSERT_EQ(languages.size(), 1u);
  oru::Language& english = languages[0];
  EXPECT_EQ(english.name, "english");
  oru::LanguageDomain* gui = english.top.FindDomain("velkora gui");
  ASSERT_NE(gui, nullptr);
  for (const char* font : {"display", "menu"}) {
    ASSERT_EQ(gui->fonts.count(font), 1u) << font;
    EXPECT_FALSE(gui->fonts[font].face.empty());
    EXPECT_GT(gui->fonts[font].size, 0);
  }
  for (const char* key : {"default_interface/author", "default_interface/cosmetic_name",
                          "default_skin/author", "default_skin/cosmetic_name"}) {
    EXPECT_FALSE(gui->texts[key].empty()) << key;
  }
  oru::LanguageDomain* dialog = gui->FindDomain("openfilesdialog");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->texts.count("filedialog.labelurl"), 1u);
  // The top menu reads its labels from a table of the interface's text domain.
  oru::LanguageDomain* menu = gui->FindDomain("topmenu");
  ASSERT_NE(menu, nullptr);
  for (const char* key :
       {"file", "file.open", "file.skins", "file.remotes", "file.allwindows", "file.closewin",
        "file.exit", "view", "view.player", "view.playlist", "view.setup", "view.console",
        "view.status", "view.picker", "view.playbar", "view.onlinewindow", "language"}) {
    EXPECT_FALSE(menu->texts[key].empty()) << key;
  }
}

TEST_F(ShippedDataTest, TheInitScriptSitsWhereTheApplicationLooks) {
  markup::Element root = LoadElement(ReadShipped("brint.xrc"));
  ASSERT_TRUE(root);
  markup::Element script = FindTag(root, u"script");
  ASSERT_TRUE(script);
  EXPECT_EQ(FindTag(root, u"init").Tag(), u"init");
  EXPECT_FALSE(script.Text().IsEmpty());
}

}  // namespace
}  // namespace vk2::test

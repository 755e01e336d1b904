#include "oru/gui/dialogs/dialogs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "oru/gui/brint_class.h"
#include "oru/gui/dialogs/file_patterns.h"
#include "oru/gui/dialogs/memory_strip_host.h"
#include "oru/gui/loop/app_object.h"
#include "platform/environment.h"

namespace vk2::test {
namespace {

using ::testing::ElementsAre;

constexpr int32_t kUrlField = 1033;
constexpr int32_t kUrlButton = 1029;

// A strip like the player's URL field: a history in a combo field and a button that takes the
// typed text and closes the dialog.
class UrlStrip final : public ComObject<UrlStrip, Face<MDialogStrip, kIID_MDialogStrip>> {
 public:
  int32_t Build(MDialogStripHost* host) override {
    host->AddLabel(1, u"Enter URL:");
    host->AddComboField(kUrlField);
    host->AddButton(kUrlButton, u"Open URL");
    host->NewRow();
    host->AddLabel(2, u"hint");
    host->InsertEntry(kUrlField, 0, u"http://127.0.0.1:8000/b");
    host->InsertEntry(kUrlField, 0, u"http://127.0.0.1:8000/a");
    host->SelectEntry(kUrlField, 0);
    return 0;
  }
  int32_t Command(MDialogStripHost* host, int32_t id) override {
    if (id != kUrlButton) return 0;
    host->GetText(kUrlField, &opened);
    if (!opened.IsEmpty()) host->CloseDialog();
    return 0;
  }
  TString opened;
};

template <class T>
RefPtr<T> Create(const Guid& iid) {
  T* object = nullptr;
  EXPECT_EQ(CreateDialogObject(iid, reinterpret_cast<void**>(&object)), 0);
  return RefPtr<T>::Adopt(object);
}

TEST(FileDialogTest, OpenDialogHandsItsSettingsToTheAnswererAndReturnsThePaths) {
  FileDialogRequest seen;
  ScopedDialogAnswerers answerers(
      [&](const FileDialogRequest& request, MDialogStripHost* strip) {
        seen = request;
        EXPECT_EQ(strip, nullptr);
        return FileDialogResult{{u"/music/a.mp3", u"/music/b.ogg"}, 2};
      },
      nullptr);
  auto dialog = Create<MOpenFileDialog>(kIID_MOpenFileDialog);
  const TString filters[] = {u"All audio files (*.mp3;*.ogg)",
                             u"*.mp3;*.ogg",
                             u"MPEG Audio (*.mp3)",
                             u"*.mp3",
                             u"Ogg Vorbis (*.ogg)",
                             u"*.ogg",
                             u"odd one out"};
  dialog->SetFilters(filters, 7);
  dialog->SetMultipleSelection(1);
  dialog->SetFolder(u"/music");
  dialog->SetFilterIndex(1);
  TArray<TString> paths;
  ASSERT_EQ(dialog->RunModal(&paths), 0);

  EXPECT_FALSE(seen.save);
  EXPECT_TRUE(seen.multiple);
  EXPECT_EQ(seen.folder.view(), u"/music");
  EXPECT_EQ(seen.filterIndex, 1);
  ASSERT_EQ(seen.filters.size(), 3u);  // the unpaired last text is no filter
  EXPECT_EQ(seen.filters[2].display.view(), u"Ogg Vorbis (*.ogg)");
  EXPECT_EQ(seen.filters[0].patterns.view(), u"*.mp3;*.ogg");
  ASSERT_EQ(paths.Count(), 2u);
  EXPECT_EQ(paths[1].view(), u"/music/b.ogg");
  EXPECT_EQ(dialog->GetFilterIndex(), 2);
}

TEST(FileDialogTest, TheStripIsBuiltAndItsButtonClosesTheDialogWithoutPaths) {
  RefPtr<UrlStrip> strip(new UrlStrip);
  ScopedDialogAnswerers answerers(
      [&](const FileDialogRequest&, MDialogStripHost* host) {
        auto* memory = static_cast<MemoryStripHost*>(host);
        const MemoryStripHost::Control* field = memory->Find(kUrlField);
        EXPECT_EQ(field->text.view(), u"http://127.0.0.1:8000/a");  // entry 0 selected
        EXPECT_EQ(field->entries.size(), 2u);
        EXPECT_EQ(memory->Find(2)->row, 1);
        host->SetText(kUrlField, u"http://127.0.0.1:8000/typed");
        EXPECT_TRUE(memory->Press(kUrlButton));
        EXPECT_FALSE(memory->Press(kUrlField));  // not a button
        return FileDialogResult{{u"/would/be/ignored.mp3"}, 0};
      },
      nullptr);
  auto dialog = Create<MOpenFileDialog>(kIID_MOpenFileDialog);
  dialog->SetStrip(strip.Get());
  TArray<TString> paths;
  ASSERT_EQ(dialog->RunModal(&paths), 0);
  EXPECT_EQ(paths.Count(), 0u);
  EXPECT_EQ(strip->opened.view(), u"http://127.0.0.1:8000/typed");
}

TEST(FileDialogTest, SaveDialogReturnsOnePathAndTheFilterLeftChosen) {
  FileDialogRequest seen;
  ScopedDialogAnswerers answerers(
      [&](const FileDialogRequest& request, MDialogStripHost*) {
        seen = request;
        return FileDialogResult{{u"/lists/party"}, 1};
      },
      nullptr);
  auto dialog = Create<MSaveFileDialog>(kIID_MSaveFileDialog);
  const TString filters[] = {u"M3U (*.m3u)", u"*.m3u", u"PLS (*.pls)", u"*.pls"};
  dialog->SetFilters(filters, 4);
  dialog->SetFileName(u"party");
  TString path = u"stale";
  ASSERT_EQ(dialog->RunModal(&path), 0);
  EXPECT_TRUE(seen.save);
  EXPECT_EQ(seen.fileName.view(), u"party");
  EXPECT_EQ(path.view(), u"/lists/party");
  EXPECT_EQ(dialog->GetFilterIndex(), 1);
}

TEST(FileDialogTest, WithoutAnswererOrWindowsTheDialogsAnswerCancelledAtOnce) {
  ASSERT_TRUE(GetEnv("VK2_NONINTERACTIVE"));
  auto open = Create<MOpenFileDialog>(kIID_MOpenFileDialog);
  open->SetFilterIndex(3);
  TArray<TString> paths;
  paths.Append(u"stale");
  ASSERT_EQ(open->RunModal(&paths), 0);
  EXPECT_EQ(paths.Count(), 0u);
  EXPECT_EQ(open->GetFilterIndex(), 3);
  EXPECT_EQ(open->RunModal(nullptr), kErrMissingArg);

  auto save = Create<MSaveFileDialog>(kIID_MSaveFileDialog);
  TString path = u"stale";
  ASSERT_EQ(save->RunModal(&path), 0);
  EXPECT_TRUE(path.IsEmpty());
}

TEST(MessageBoxTest, TextAlwaysGoesToStderrAndTheAnswererOrFirstButtonAnswers) {
  auto box = Create<MMessageBox>(kIID_MMessageBox);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(box->Show(u"Unable to load the runtime.", u"Fatal error", kMessageBoxOk), kAnswerOk);
  EXPECT_EQ(box->Show(u"Really?", u"Question", kMessageBoxYesNo), kAnswerYes);
  {
    MessageBoxRequest seen;
    ScopedDialogAnswerers answerers(nullptr, [&](const MessageBoxRequest& request) {
      seen = request;
      return static_cast<int32_t>(kAnswerCancel);
    });
    EXPECT_EQ(box->Show(u"Go on?", u"Asked", kMessageBoxOkCancel), kAnswerCancel);
    EXPECT_EQ(seen.buttons, kMessageBoxOkCancel);
  }
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Fatal error: Unable to load the runtime.\n"), std::string::npos);
  EXPECT_NE(err.find("Question: Really?\n"), std::string::npos);
  EXPECT_NE(err.find("Asked: Go on?\n"), std::string::npos);
}

TEST(DialogObjectsTest, OnlyDialogInterfacesAreMade) {
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(CreateDialogObject(kIID_MWindowElement, &out), kErrNoInterface);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(CreateDialogObject(kIID_MMessageBox, nullptr), kErrMissingArg);
}

TEST(DialogObjectsTest, BrintClassMakesTheDialogsButNeverAggregated) {
  void* out = nullptr;
  ASSERT_EQ(gui::CreateBrintObject(kIID_MSaveFileDialog, &out, nullptr), 0);
  static_cast<MSaveFileDialog*>(out)->Release();
  RefPtr<MMessageBox> outer = Create<MMessageBox>(kIID_MMessageBox);
  EXPECT_EQ(gui::CreateBrintObject(kIID_MOpenFileDialog, &out, outer.Get()), kErrNoInterface);
}

TEST(DialogLoopTest, DialogsAskedOnAnotherThreadAreAnsweredOnTheLoopWhileItRuns) {
  SetEnv("VK2_GUI_BACKEND", "headless");
  gui::AppObject& app = gui::AppObject::Instance();
  ASSERT_EQ(app.Launch(0, nullptr, nullptr, 0), 0);
  std::atomic<int32_t> answeredOnLoop{-1};
  std::atomic<bool> postRan{false};
  {
    ScopedDialogAnswerers answerers(
        [&](const FileDialogRequest&, MDialogStripHost*) {
          answeredOnLoop = app.IsGuiThread();
          // The loop keeps taking posts from other threads while the dialog is up.
          std::thread poster([&] {
            app.PostToGuiThread([](void* ran) { *static_cast<std::atomic<bool>*>(ran) = true; },
                                &postRan);
          });
          poster.join();
          return FileDialogResult{{u"/a.ogg"}, 0};
        },
        nullptr);
    const FileDialogResult result = ShowFileDialog(FileDialogRequest{});
    ASSERT_EQ(result.paths.size(), 1u);
  }
  for (int i = 0; i < 1000 && !postRan; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  EXPECT_EQ(answeredOnLoop, 1);
  EXPECT_TRUE(postRan);
  EXPECT_EQ(app.Shutdown(), 0);
}

TEST(FilePatternsTest, PatternsSplitAndIgnoreLetterCase) {
  std::vector<std::u16string> parts;
  for (const TString& p : SplitPatterns(u"*.mp3; *.ogg;;  ;*.M3U "))
    parts.emplace_back(p.view());
  EXPECT_THAT(parts, ElementsAre(u"*.mp3", u"*.ogg", u"*.M3U"));
  struct Case {
    const char16_t* pattern;
    const char* glob;
  };
  const Case cases[] = {
      {u"*.mp3", "*.[mM][pP]3"},
      {u"*.OGG", "*.[oO][gG][gG]"},
      {u"track?.[ab]*", "[tT][rR][aA][cC][kK]?.[ab]*"},
      {u"*", "*"},
  };
  for (const Case& c : cases)
    EXPECT_STREQ(CaseBlindGlob(c.pattern).c_str(), c.glob);
}

}  // namespace
}  // namespace vk2::test

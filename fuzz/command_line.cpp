// Command lines handed over by other processes: any bytes, split into tokens at line ends, run
// through the dispatcher against stand-in players and playlists without a crash; path
// resolution of the same tokens stays within what it was given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "gui/app/app_paths.h"
#include "gui/commands/command_dispatcher.h"
#include "tests/gui/support/state_player.h"
#include "tests/gui/support/title_playlist.h"

namespace {

class FuzzTargets final : public vk2::gui::CommandTargets {
 public:
  vk2::RefPtr<vk2::test::StatePlayer> player{new vk2::test::StatePlayer()};
  vk2::RefPtr<vk2::test::TitlePlaylist> playlist{new vk2::test::TitlePlaylist()};
  uint32_t queued = 0;

  vk2::RefPtr<vk2::MPlayer> DefaultPlayer() override {
    return vk2::RefPtr<vk2::MPlayer>(player.Get());
  }
  vk2::RefPtr<vk2::MPlaylist> DefaultPlaylist() override {
    return vk2::RefPtr<vk2::MPlaylist>(playlist.Get());
  }
  uint32_t AddFilesOptions() override { return 0; }
  void QueueFiles(vk2::MPlaylist*, const vk2::TArray<vk2::TString>& files, uint32_t) override {
    queued += files.Count();
  }
  int32_t OpenFilesDialog() override { return 0; }
  int32_t InstallPackage(const vk2::TString&) override { return 0; }
  int32_t StepVisual(bool) override { return 0; }
  int32_t ShellOpen(const vk2::TString&) override { return 0; }  // never start a program
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vk2::TArray<vk2::TString> tokens;
  size_t start = 0;
  for (size_t i = 0; i <= size; ++i) {
    if (i == size || data[i] == '\n') {
      tokens.Append(vk2::FromNarrowString(reinterpret_cast<const char*>(data + start),
                                          static_cast<int32_t>(i - start)));
      start = i + 1;
    }
  }
  FuzzTargets targets;
  targets.playlist->AddTitles({"a", "B"});
  vk2::gui::ExecuteCommand(targets, tokens, 0);
  if (targets.queued > tokens.Count()) std::abort();
  for (uint32_t i = 1; i < tokens.Count(); ++i) {
    vk2::TString resolved = vk2::gui::ResolvePath(tokens[0], tokens[i]);
    if (resolved.Length() > tokens[0].Length() + 2 * tokens[i].Length() + 1) std::abort();
  }
  return 0;
}

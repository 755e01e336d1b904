// The online content window's one pass: show the welcome package the first time, otherwise the
// online content package, and fetch a fresh content package when the stored one is due. Files
// live in the application's folder; the window shows a named window of a package inside itself
// through the host given here, which the window posts to the GUI loop.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "gui/window_base/package_window_ref.h"

namespace vk2 {
class Event;
class MNetwork;
class MPreferenceStore;
}  // namespace vk2

namespace vk2::gui {

inline constexpr char16_t kWelcomeFile[] = u"Welcome.zip";
inline constexpr char16_t kOnlineFile[] = u"Online.zip";
inline constexpr char16_t kOnlineNewFile[] = u"OnlineNew.zip";

inline constexpr char16_t kWelcomePackage[] = u"ridurodoror/velkora2_online/welcome";
inline constexpr char16_t kWelcomeDocument[] = u"welcome.xml";
inline constexpr char16_t kWelcomeWindow[] = u"mainwelcomewindow";
inline constexpr char16_t kOnlinePackage[] = u"ridurodoror/velkora2_online/online";
inline constexpr char16_t kOnlineDocument[] = u"vk2_online.xml";
inline constexpr char16_t kOnlineWindow[] = u"contentwindow";

// The content server used when the preference names none. Its host is a placeholder that never
// resolves: a build for users configures the real server through the preference.
inline constexpr char16_t kBuiltInOnlineUrl[] = u"http://online.velkora2.invalid/vk2dyn/dynup.php";

class OnlineContentHost {
 public:
  // Opens `window` of the package inside the online window; true when it opened.
  virtual bool ShowPackageWindow(const PackageWindowRef& window) = 0;
  // Nothing could be shown: the window says so and stays usable.
  virtual void ShowUnavailable() = 0;

 protected:
  ~OnlineContentHost() = default;
};

// `velkora_online_url` of the section "velkora/gui" (made when absent), or the built-in URL.
TString ReadOnlineUrl(MPreferenceStore* store);

struct OnlinePass {
  MPreferenceStore* store = nullptr;  // a cursor the pass may move
  MNetwork* network = nullptr;        // null: nothing is fetched
  TString folder;                     // the application's folder
  TString url;
  int64_t now = 0;  // seconds since 1970
  OnlineContentHost* host = nullptr;
  Event* cancel = nullptr;  // ends a download at once (the window closes)
};

struct OnlinePassResult {
  bool welcomeShown = false;
  bool downloaded = false;
  bool contentShown = false;  // the welcome or the online package
};

OnlinePassResult RunOnlinePass(const OnlinePass& pass);

}  // namespace vk2::gui

#include "gui/online_window/online_content.h"

#include <cstdio>
#include <filesystem>

#include "interfaces/runtime/network.h"
#include "interfaces/runtime/preference_store.h"

namespace vk2::gui {
namespace {

bool Show(const OnlinePass& pass, const TString& path, const char16_t* package,
          const char16_t* document, const char16_t* window) {
  if (!pass.host || !IsReadableFile(path)) return false;
  return pass.host->ShowPackageWindow(PackageWindowRef{path, package, document, window});
}

// Fetches the content package into "OnlineNew.zip" and, once it is complete, puts it in the
// place of "Online.zip" in one rename, so that a failure at any point keeps the old package.
bool Download(const OnlinePass& pass) {
  if (!pass.network) return false;
  const TString fresh = PathInFolder(pass.folder, kOnlineNewFile);
  const NarrowString url = Utf8(pass.url);
  if (pass.network->Download(url.c_str(), fresh.c_str(), nullptr, pass.cancel) != kNetworkOk)
    return false;
  const NarrowString from = Utf8(fresh);
  const NarrowString to = Utf8(PathInFolder(pass.folder, kOnlineFile));
  if (std::rename(from.c_str(), to.c_str()) != 0) {
    std::remove(from.c_str());
    return false;
  }
  return true;
}

}  // namespace

TString ReadOnlineUrl(MPreferenceStore* store) {
  TString url;
  if (store && store->OpenSection(u"velkora/gui", 1) == 0)
    store->GetString(u"velkora_online_url", &url);
  return url.IsEmpty() ? TString(kBuiltInOnlineUrl) : url;
}

OnlinePassResult RunOnlinePass(const OnlinePass& pass) {
  OnlinePassResult result;
  MPreferenceStore* store = pass.store;
  if (!store || store->OpenSection(u"onlinecontent", 1) != 0) {
    if (pass.host) pass.host->ShowUnavailable();
    return result;
  }
  store->PrepBool(u"showwelcomescreen", true);
  bool welcome = true;
  if (store->GetBool(u"showwelcomescreen", &welcome) != 0) {
    if (pass.host) pass.host->ShowUnavailable();
    return result;
  }

  const TString welcomePath = PathInFolder(pass.folder, kWelcomeFile);
  const TString onlinePath = PathInFolder(pass.folder, kOnlineFile);
  if (welcome && std::filesystem::exists(Utf8(welcomePath).c_str())) {
    // Shown at most once per preference store, whether or not it opens.
    store->SetBool(u"showwelcomescreen", false);
    if (Show(pass, welcomePath, kWelcomePackage, kWelcomeDocument, kWelcomeWindow)) {
      result.welcomeShown = true;
      result.contentShown = true;
    }
  } else {
    welcome = false;
  }

  uint32_t updateDate = 0;
  store->GetUnsigned(u"contentupdatedate", &updateDate);
  if (static_cast<int64_t>(updateDate) < pass.now && Download(pass)) {
    result.downloaded = true;
    if (!welcome && Show(pass, onlinePath, kOnlinePackage, kOnlineDocument, kOnlineWindow))
      result.contentShown = true;
  }
  if (!result.contentShown &&
      Show(pass, onlinePath, kOnlinePackage, kOnlineDocument, kOnlineWindow)) {
    result.contentShown = true;
  }
  if (!result.contentShown && pass.host) pass.host->ShowUnavailable();
  return result;
}

}  // namespace vk2::gui

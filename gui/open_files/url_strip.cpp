#include "gui/open_files/url_strip.h"

#include <vector>

#include "foundation/util/result.h"

namespace vk2::gui {
namespace {

constexpr char16_t kPlayerSection[] = u"velkora/player";
constexpr char16_t kCount[] = u"NumURLs";

TString UrlKey(uint32_t index) {
  return TString::Format(u"url_%u", index);
}

TString ReadPrefString(MPreferenceStore* prefs, const TString& key) {
  TString value;
  if (prefs->GetString(key.c_str(), &value) < 0) return {};
  return value;
}

uint32_t ReadCount(MPreferenceStore* prefs) {
  uint32_t count = 0;
  if (prefs->GetUnsigned(kCount, &count) < 0) return 0;
  return count;
}

// The translation of `key`, or `fallback` when there is none.
TString Translated(MTextDomain* domain, const char16_t* key, const char16_t* fallback) {
  TString text;
  if (!domain || domain->GetText(key, &text) < 0) return fallback;
  return text;
}

}  // namespace

RefPtr<MPreferenceStore> UrlStrip::PlayerSection() {
  RefPtr<MPreferenceStore> prefs = services_.preferences ? services_.preferences() : nullptr;
  if (prefs && prefs->OpenSection(kPlayerSection, 1) < 0) return nullptr;
  return prefs;
}

int32_t UrlStrip::Build(MDialogStripHost* host) {
  RefPtr<MTextDomain> domain;
  if (RefPtr<MTextDomain> gui = services_.textDomain ? services_.textDomain() : nullptr) {
    gui->GetSubDomain(u"openfilesdialog", domain.Put());
  }
  host->AddLabel(kUrlLabel,
                 Translated(domain.Get(), u"filedialog.LabelURL", u"Enter URL:").c_str());
  host->AddComboField(kUrlField);
  host->AddButton(kUrlButton,
                  Translated(domain.Get(), u"filedialog.ButtonURL", u"Open URL").c_str());
  host->NewRow();
  host->AddLabel(kUrlHint, Translated(domain.Get(), u"filedialog.URLText",
                                      u"Type the location of a stream, such as "
                                      u"http://radio.example.com:8000/stream")
                               .c_str());
  if (RefPtr<MPreferenceStore> prefs = PlayerSection()) {
    prefs->PrepUnsigned(kCount, 0);
    // Inserted at the top from the oldest on, so the list runs most recent first.
    for (uint32_t index = ReadCount(prefs.Get()); index-- > 0;) {
      TString url = ReadPrefString(prefs.Get(), UrlKey(index));
      if (!url.IsEmpty()) host->InsertEntry(kUrlField, 0, url.c_str());
    }
    host->SelectEntry(kUrlField, 0);
  }
  return 0;
}

int32_t UrlStrip::Command(MDialogStripHost* host, int32_t id) {
  if (id != kUrlButton) return 0;
  TString url;
  host->GetText(kUrlField, &url);
  if (url.Length() > kUrlMaxLength) url = url.Mid(0, static_cast<int32_t>(kUrlMaxLength));
  if (url.IsEmpty()) return 0;
  if (RefPtr<MPreferenceStore> prefs = PlayerSection()) {
    const uint32_t stored = ReadCount(prefs.Get());
    std::vector<TString> history = {url};
    for (uint32_t index = 0; index < stored && history.size() < kUrlHistoryCap; ++index) {
      TString entry = ReadPrefString(prefs.Get(), UrlKey(index));
      if (!(entry == url)) history.push_back(entry);
    }
    prefs->SetUnsigned(kCount, static_cast<uint32_t>(history.size()));
    for (uint32_t index = 0; index < history.size(); ++index) {
      prefs->SetString(UrlKey(index).c_str(), history[index].c_str());
    }
    // Entries that fell off the end go too.
    for (uint32_t index = static_cast<uint32_t>(history.size()); index < stored; ++index) {
      prefs->RemoveValue(UrlKey(index).c_str());
    }
  }
  host->CloseDialog();
  if (MGuiMain* main = services_.main) {
    uint32_t options = 0;
    main->GetAddFilesOptions(&options);
    TArray<TString> files;
    files.Append(url);
    main->QueueFiles(u"default", &files, options, 0);
  }
  return 0;
}

}  // namespace vk2::gui

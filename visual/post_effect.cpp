#include "visual/post_effect.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "audio/common/prefs_pane_provider.h"
#include "foundation/util/result.h"
#include "visual/pixel_filters.h"

namespace vk2 {

extern const unsigned char kPostEffectPaneDocument[];
extern const size_t kPostEffectPaneDocumentSize;

namespace {

constexpr char16_t kModuleName[] = u"Velkora1VisPostEffect";
constexpr char16_t kReloadCommand[] = u"reloadvk1vissettings";
constexpr int32_t kFadeSteps = 7;
constexpr double kZoomScale = 32.0;

bool Is(const char16_t* name, const char16_t* expected) {
  return name && WideCompare(name, expected, false) == 0;
}

struct Descriptor {
  uint32_t flags;
  const char16_t* name;
  const char16_t* help;
};

constexpr Descriptor kDescriptors[] = {
    {0x31, u"modulename", u"the name of this visual component"},
    {0x31, u"moduledescription", u"the human readable name of this visual component"},
    {0x31, u"modulecopyright", u"the owner of the copyright of this visual component"},
    {0x33, u"moduleversion", u"the revision number of this visual component"},
    {0x32, u"iscumulative",
     u"whether this effect expects the visual to be writing over the previously used buffer "
     u"(true) or a fresh black buffer (false)"},
    {0x43, u"fade",
     u"a floating point value between 0 to 1; determines how fast the contents of the buffer "
     u"fades"},
    {0x42, u"blur", u"a boolean value; when true, the visual buffer is blurred"},
    {0x42, u"smoke",
     u"a boolean value; when true, the visual buffer is blurred vertically away from the "
     u"centre-line"},
    {0x43, u"zoom",
     u"a floating point value between -1 and 1; 0 means no effect, -1 means zoom inwards fast, "
     u"1 means zoom outwards fast"},
};

}  // namespace

RefPtr<VisualPostEffect> VisualPostEffect::Make() {
  return RefPtr<VisualPostEffect>(new (std::nothrow) VisualPostEffect());
}

PostEffectSettings VisualPostEffect::Settings() {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  return settings_;
}

int32_t VisualPostEffect::GetString(const char16_t* name, TString* value) {
  if (!value) return kErrMissingArg;
  if (Is(name, u"modulename")) {
    *value = kModuleName;
  } else if (Is(name, u"moduledescription")) {
    *value = u"Velkora1-style visual post-effects";
  } else if (Is(name, u"modulecopyright")) {
    *value = u"(c) 2026 Velkora2";
  } else {
    return kErrNotFound;
  }
  return kOk;
}

int32_t VisualPostEffect::GetInteger(const char16_t* name, int32_t* value) {
  if (!value) return kErrMissingArg;
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (Is(name, u"iscumulative")) {
    *value = 1;
  } else if (Is(name, u"blur")) {
    *value = settings_.blur ? 1 : 0;
  } else if (Is(name, u"smoke")) {
    *value = settings_.smoke ? 1 : 0;
  } else {
    return kErrNotFound;
  }
  return kOk;
}

int32_t VisualPostEffect::GetNumber(const char16_t* name, double* value) {
  if (!value) return kErrMissingArg;
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (Is(name, u"moduleversion")) {
    *value = 1.0;
  } else if (Is(name, u"fade")) {
    *value = settings_.fade;
  } else if (Is(name, u"zoom")) {
    *value = settings_.zoom;
  } else {
    return kErrNotFound;
  }
  return kOk;
}

int32_t VisualPostEffect::Describe(PropertyDescriptionList* list) {
  if (!list) return kErrMissingArg;
  for (const Descriptor& d : kDescriptors)
    list->Append(d.flags, d.name, d.help);
  return kOk;
}

int32_t VisualPostEffect::SetString(const char16_t*, const char16_t*) {
  return kErrNotFound;
}

int32_t VisualPostEffect::SetInteger(const char16_t* name, int32_t value) {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (Is(name, u"blur")) {
    settings_.blur = value != 0;
  } else if (Is(name, u"smoke")) {
    settings_.smoke = value != 0;
  } else {
    return kErrNotFound;
  }
  return kOk;
}

int32_t VisualPostEffect::SetNumber(const char16_t* name, double value) {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  // Written so that NaN fails the range test too.
  if (Is(name, u"fade")) {
    if (!(value >= 0.0 && value <= 1.0)) return kErrOutOfRange;
    settings_.fade = value;
  } else if (Is(name, u"zoom")) {
    if (!(value >= -1.0 && value <= 1.0)) return kErrOutOfRange;
    settings_.zoom = value;
  } else {
    return kErrNotFound;
  }
  return kOk;
}

int32_t VisualPostEffect::LoadSettings(MPreferenceStore* section) {
  if (!section) return kErrMissingArg;
  std::lock_guard<std::recursive_mutex> lock(lock_);
  section_ = RefPtr<MPreferenceStore>(section);
  double number = 0;
  bool flag = false;
  if (section->GetDouble(u"Fade", &number) >= 0 && !std::isnan(number)) {
    settings_.fade = std::clamp(number, 0.0, 1.0);
  }
  if (section->GetBool(u"Blur", &flag) >= 0) settings_.blur = flag;
  if (section->GetBool(u"Smoke", &flag) >= 0) settings_.smoke = flag;
  if (section->GetDouble(u"Zoom", &number) >= 0 && !std::isnan(number)) {
    settings_.zoom = std::clamp(number, -1.0, 1.0);
  }
  return kOk;
}

int32_t VisualPostEffect::SaveSettings(MPreferenceStore* section) {
  if (!section) return kErrMissingArg;
  std::lock_guard<std::recursive_mutex> lock(lock_);
  section->SetDouble(u"Fade", settings_.fade);
  section->SetBool(u"Blur", settings_.blur);
  section->SetBool(u"Smoke", settings_.smoke);
  section->SetDouble(u"Zoom", settings_.zoom);
  return kOk;
}

int32_t VisualPostEffect::SendFilterMessage(const char16_t* text, uint32_t) {
  if (Is(text, kReloadCommand)) {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    if (RefPtr<MPreferenceStore> section = section_) LoadSettings(section.Get());
  }
  return kOk;
}

bool VisualPostEffect::Apply(const SurfaceView* image) {
  if (!image || image->Empty()) return false;
  const PostEffectSettings s = Settings();
  bool changed = false;
  if (s.fade != 0.0) {
    FadePixels(*image, std::max(1, static_cast<int32_t>((1.0 - s.fade) * kFadeSteps)));
    changed = true;
  }
  if (s.blur) {
    BlurPixels(*image);
    changed = true;
  }
  if (s.smoke) {
    const int32_t middle = image->height / 2;
    SmokePixels(*image, 0, middle, true);
    SmokePixels(*image, middle, image->height, false);
    changed = true;
  }
  // Zoom values from 0 up to (not including) 1 mean "off".
  if (s.zoom < 0.0 || s.zoom >= 1.0) {
    ZoomPixels(*image, s.zoom * kZoomScale);
    changed = true;
  }
  return changed;
}

RefPtr<MPrefsDialogProvider> MakePostEffectPaneProvider() {
  const PaneDocument document{kPostEffectPaneDocument, kPostEffectPaneDocumentSize,
                              u"ridurodoror/velkora2_Velkora1VisPostEffectprefs/1.0"};
  return RefPtr<MPrefsDialogProvider>(new (std::nothrow) PrefsPaneProvider(document, kModuleName));
}

}  // namespace vk2

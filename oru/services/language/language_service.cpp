#include "oru/services/language/language_service.h"
#include "component/object/com_object.h"

#include <new>
#include <string>
#include <vector>

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "oru/core/text_util.h"
#include "platform/whole_file.h"

namespace vk2::oru {
namespace {

// A domain seen through an ordered list of languages.
class TextDomainObject final
    : public ComObject<TextDomainObject, Face<MTextDomain, kIID_MTextDomain>> {
 public:
  TextDomainObject(std::shared_ptr<LanguageData> data, std::vector<std::string> languages,
                   std::vector<std::string> path)
      : data_(std::move(data)), languages_(std::move(languages)), path_(std::move(path)) {}

  int32_t GetText(const char16_t* key, TString* text) override {
    std::string k = LowerAscii(ToUtf8(key));
    std::lock_guard lock(data_->Mutex());
    for (LanguageDomain* d : Domains()) {
      auto it = d->texts.find(k);
      if (it == d->texts.end()) continue;
      if (text) *text = ToWide(it->second);
      return 0;
    }
    return kErrNotFound;
  }

  int32_t GetFontFace(const char16_t* key, TString* face) override {
    FontEntry font;
    if (!FindFont(key, &font)) return kErrNotFound;
    if (face) *face = ToWide(font.face);
    return 0;
  }

  int32_t GetFontSize(const char16_t* key, int32_t* size) override {
    FontEntry font;
    if (!FindFont(key, &font)) return kErrNotFound;
    if (size) *size = font.size;
    return 0;
  }

  int32_t GetSubDomain(const char16_t* name, MTextDomain** domain) override {
    if (!domain) return kErrMissingArg;
    *domain = nullptr;
    std::vector<std::string> path = path_;
    path.push_back(ToUtf8(name));
    return MakeDomain(data_, languages_, std::move(path), domain);
  }

  // The domain for `path` when some language of the list has it; -5 otherwise.
  static int32_t MakeDomain(std::shared_ptr<LanguageData> data, std::vector<std::string> langs,
                            std::vector<std::string> path, MTextDomain** out) {
    auto* object =
        new (std::nothrow) TextDomainObject(std::move(data), std::move(langs), std::move(path));
    if (!object) return kErrOutOfMemory;
    object->AddRef();
    bool present;
    {
      std::lock_guard lock(object->data_->Mutex());
      present = !object->Domains().empty();
    }
    if (!present) {
      object->Release();
      return kErrNotFound;
    }
    *out = object;
    return 0;
  }

 private:
  ~TextDomainObject() override = default;

  // The domain in each language of the list that has it, in list order. Lock held.
  std::vector<LanguageDomain*> Domains() {
    std::vector<LanguageDomain*> found;
    for (const std::string& name : languages_) {
      Language* language = data_->Find(name);
      if (!language) continue;
      LanguageDomain* d = &language->top;
      for (const std::string& part : path_) {
        d = d->FindDomain(part);
        if (!d) break;
      }
      if (d) found.push_back(d);
    }
    return found;
  }

  bool FindFont(const char16_t* key, FontEntry* font) {
    std::string k = LowerAscii(ToUtf8(key));
    std::lock_guard lock(data_->Mutex());
    for (LanguageDomain* d : Domains()) {
      auto it = d->fonts.find(k);
      if (it == d->fonts.end()) continue;
      *font = it->second;
      return true;
    }
    return false;
  }

  std::shared_ptr<LanguageData> data_;
  std::vector<std::string> languages_;
  std::vector<std::string> path_;
};

}  // namespace

int32_t LanguageServiceObject::GetTextDomain(const char16_t* domain,
                                             const char16_t* defaultLanguage, MTextDomain** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (!domain || !*domain) return kErrMissingArg;
  std::vector<std::string> languages;
  {
    std::lock_guard lock(data_->Mutex());
    languages = data_->Current();
  }
  if (defaultLanguage && *defaultLanguage) languages.push_back(ToUtf8(defaultLanguage));
  return TextDomainObject::MakeDomain(data_, std::move(languages), {ToUtf8(domain)}, out);
}

int32_t LanguageServiceObject::GetLanguages(const char16_t* domain, TString* names,
                                            uint32_t capacity) {
  std::string d = ToUtf8(domain);
  std::lock_guard lock(data_->Mutex());
  uint32_t count = 0;
  for (const Language& l : data_->Languages()) {
    if (!d.empty() && !l.top.FindDomain(d)) continue;
    if (names && count < capacity) names[count] = ToWide(l.name);
    ++count;
  }
  return static_cast<int32_t>(count);
}

int32_t LanguageServiceObject::SetLanguages(const TString* names, uint32_t count) {
  if (!names && count) return kErrMissingArg;
  std::lock_guard lock(data_->Mutex());
  std::vector<std::string> chosen;
  for (uint32_t i = 0; i < count; ++i) {
    // Kept in the service's own spelling.
    if (Language* l = data_->Find(ToUtf8(names[i]))) chosen.push_back(l->name);
  }
  if (chosen.empty()) return kErrNotFound;
  data_->Current() = std::move(chosen);
  return 0;
}

int32_t LanguageServiceObject::GetCurrentLanguages(TString* names, uint32_t capacity) {
  std::lock_guard lock(data_->Mutex());
  const std::vector<std::string>& current = data_->Current();
  for (uint32_t i = 0; names && i < capacity && i < current.size(); ++i) {
    names[i] = ToWide(current[i]);
  }
  return static_cast<int32_t>(current.size());
}

int32_t LanguageServiceObject::LoadMemory(const void* data, uint64_t size, uint32_t) {
  if (!data && size) return kErrMissingArg;
  std::vector<Language> languages;
  std::string error;
  if (!ParseLanguageText(std::string_view(static_cast<const char*>(data), size), &languages,
                         &error)) {
    return kErrBadData;
  }
  std::lock_guard lock(data_->Mutex());
  data_->Merge(std::move(languages));
  return 0;
}

int32_t LanguageServiceObject::LoadFile(const char16_t* path, uint32_t flags) {
  if (!path || !*path) return kErrMissingArg;
  std::string text;
  if (ReadWholeFile(ToUtf8(path), &text)) return kErrCannotRead;
  return LoadMemory(text.data(), text.size(), flags);
}

}  // namespace vk2::oru

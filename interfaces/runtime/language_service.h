// Translated texts and fonts, by text domain and language. Language files are XML:
//   <languages>
//     <language name="english">
//       <domain name="velkora gui">
//         <text key="ok">OK</text>
//         <font key="display" face="Sans" size="10"/>
//         <domain name="openfilesdialog">...</domain>
//       </domain>
//     </language>
//   </languages>
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

// One domain seen through an ordered list of languages: the current languages, then the
// domain's default language.
class MTextDomain : public MUnknown {
 public:
  // -5 when no language of the list has the key.
  virtual int32_t GetText(const char16_t* key, TString* text) = 0;
  virtual int32_t GetFontFace(const char16_t* key, TString* face) = 0;
  virtual int32_t GetFontSize(const char16_t* key, int32_t* size) = 0;
  // -5 when no language of the list has the sub-domain.
  virtual int32_t GetSubDomain(const char16_t* name, MTextDomain** domain) = 0;

 protected:
  ~MTextDomain() = default;
};

class MLanguageService : public MUnknown {
 public:
  // The domain seen through the current languages and then `defaultLanguage`; -5 when no
  // language has the domain.
  virtual int32_t GetTextDomain(const char16_t* domain, const char16_t* defaultLanguage,
                                MTextDomain** out) = 0;
  // Languages that have `domain`, in load order: fills up to `capacity` names and returns the
  // number of such languages.
  virtual int32_t GetLanguages(const char16_t* domain, TString* names, uint32_t capacity) = 0;
  // The current languages, most wanted first. -5 when none of them is loaded.
  virtual int32_t SetLanguages(const TString* names, uint32_t count) = 0;
  // The current languages: fills up to `capacity` names and returns their number.
  virtual int32_t GetCurrentLanguages(TString* names, uint32_t capacity) = 0;
  // Adds the languages of a file; a language met again gains the file's entries.
  virtual int32_t LoadFile(const char16_t* path, uint32_t flags) = 0;
  virtual int32_t LoadMemory(const void* data, uint64_t size, uint32_t flags) = 0;

 protected:
  ~MLanguageService() = default;
};

}  // namespace vk2

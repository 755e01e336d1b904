// The languages loaded into the language service, and the reader of language files.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace vk2::oru {

struct FontEntry {
  std::string face;
  int32_t size = 0;
};

// Keys, font keys and sub-domain names are kept lower-cased (ASCII) for lookup.
struct LanguageDomain {
  std::string name;
  std::map<std::string, std::string> texts;
  std::map<std::string, FontEntry> fonts;
  std::map<std::string, std::unique_ptr<LanguageDomain>> domains;

  LanguageDomain* FindDomain(std::string_view domainName) const;
  LanguageDomain& Domain(std::string_view domainName);
  // Adds `other`'s entries, replacing entries of the same key.
  void Merge(const LanguageDomain& other);
};

struct Language {
  std::string name;
  LanguageDomain top;  // its `domains` are the language's text domains
};

// Reads a language file. False with `error` on bad input; `languages` then holds nothing new.
bool ParseLanguageText(std::string_view text, std::vector<Language>* languages, std::string* error);

class LanguageData {
 public:
  std::mutex& Mutex() { return mutex_; }
  // Lock held by the caller for the rest.
  void Merge(std::vector<Language> languages);
  Language* Find(std::string_view name);
  const std::vector<Language>& Languages() const { return languages_; }
  std::vector<std::string>& Current() { return current_; }

 private:
  std::mutex mutex_;
  std::vector<Language> languages_;
  std::vector<std::string> current_;
};

}  // namespace vk2::oru

#include "oru/services/language/language_data.h"

#include <pugixml.hpp>

#include "oru/core/number_text.h"
#include "oru/core/text_util.h"

namespace vk2::oru {
namespace {

constexpr int kMaxDepth = 64;

bool ReadDomain(const pugi::xml_node& node, LanguageDomain* domain, int depth, std::string* error) {
  if (depth > kMaxDepth) {
    *error = "domains nested too deeply";
    return false;
  }
  for (pugi::xml_node child : node.children()) {
    if (child.type() != pugi::node_element) continue;
    std::string_view tag = child.name();
    if (tag == "text") {
      std::string key = child.attribute("key").value();
      if (!key.empty()) domain->texts[LowerAscii(key)] = child.text().get();
    } else if (tag == "font") {
      std::string key = child.attribute("key").value();
      if (key.empty()) continue;
      FontEntry font;
      font.face = child.attribute("face").value();
      ParseInt32Text(child.attribute("size").value(), &font.size);
      domain->fonts[LowerAscii(key)] = font;
    } else if (tag == "domain") {
      std::string name = child.attribute("name").value();
      if (name.empty()) continue;
      if (!ReadDomain(child, &domain->Domain(name), depth + 1, error)) return false;
    }
  }
  return true;
}

bool ReadLanguage(const pugi::xml_node& node, std::vector<Language>* out, std::string* error) {
  std::string name = node.attribute("name").value();
  if (name.empty()) {
    *error = "a language without a name";
    return false;
  }
  Language language;
  language.name = name;
  if (!ReadDomain(node, &language.top, 0, error)) return false;
  out->push_back(std::move(language));
  return true;
}

}  // namespace

LanguageDomain* LanguageDomain::FindDomain(std::string_view domainName) const {
  auto it = domains.find(LowerAscii(domainName));
  return it == domains.end() ? nullptr : it->second.get();
}

LanguageDomain& LanguageDomain::Domain(std::string_view domainName) {
  auto& slot = domains[LowerAscii(domainName)];
  if (!slot) {
    slot = std::make_unique<LanguageDomain>();
    slot->name.assign(domainName);
  }
  return *slot;
}

void LanguageDomain::Merge(const LanguageDomain& other) {
  for (const auto& [k, v] : other.texts)
    texts[k] = v;
  for (const auto& [k, v] : other.fonts)
    fonts[k] = v;
  for (const auto& [k, d] : other.domains)
    Domain(d->name).Merge(*d);
}

bool ParseLanguageText(std::string_view text, std::vector<Language>* languages,
                       std::string* error) {
  pugi::xml_document doc;
  pugi::xml_parse_result result =
      doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_auto);
  if (!result) {
    *error = std::string("not well-formed XML: ") + result.description();
    return false;
  }
  pugi::xml_node top = doc.document_element();
  std::vector<Language> read;
  if (std::string_view(top.name()) == "language") {
    if (!ReadLanguage(top, &read, error)) return false;
  } else if (std::string_view(top.name()) == "languages") {
    for (pugi::xml_node l : top.children("language")) {
      if (!ReadLanguage(l, &read, error)) return false;
    }
  } else {
    *error = "the document is not a language file";
    return false;
  }
  for (Language& l : read)
    languages->push_back(std::move(l));
  return true;
}

Language* LanguageData::Find(std::string_view name) {
  for (Language& l : languages_) {
    if (EqualsNoCase(l.name, name)) return &l;
  }
  return nullptr;
}

void LanguageData::Merge(std::vector<Language> languages) {
  for (Language& l : languages) {
    if (Language* existing = Find(l.name)) {
      existing->top.Merge(l.top);
    } else {
      languages_.push_back(std::move(l));
    }
  }
}

}  // namespace vk2::oru

// INI text: "[section]" headers and "key=value" lines. Lines that are neither (comments,
// blanks, anything else) are kept as they are, so a saved file differs from the loaded one only
// where values were written.
//
// Sections and keys are found through hash maps on their ASCII-folded names, and lines sit in
// linked lists that keep file order, so reading or writing a section of many thousand keys
// (a long playlist) costs constant time per key.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vk2::oru {

class IniDocument {
 public:
  IniDocument();
  ~IniDocument();
  IniDocument(const IniDocument&) = delete;
  IniDocument& operator=(const IniDocument&) = delete;

  void Parse(std::string_view text);
  std::string Format() const;

  // The value, valid until the document next changes.
  std::optional<std::string_view> Get(std::string_view section, std::string_view key) const;
  // False for a section or key that cannot be written as one line.
  bool Set(std::string_view section, std::string_view key, std::string_view value);
  bool RemoveKey(std::string_view section, std::string_view key);
  bool RemoveSection(std::string_view section);

 private:
  struct Section;

  Section* Find(std::string_view name) const;
  Section* AddSection(std::string name, std::string header);
  void Reset();
  void IndexSections();

  // The first entry is the unnamed section of the lines before the first header.
  std::vector<std::unique_ptr<Section>> sections_;
  // Folded name -> the first section of that name.
  std::unordered_map<std::string, Section*> byName_;
};

}  // namespace vk2::oru

// INI text: "[section]" headers and "key=value" lines. Lines that are neither (comments,
// blanks, anything else) are kept as they are, so a saved file differs from the loaded one only
// where values were written.
//
// Each section keeps its lines in one array, linked in file order, and finds keys through an
// open-addressing table of line numbers over ASCII-folded hashes. A playlist of many thousand
// keys then costs one string per line and constant time per key, and reading keys in file
// order walks memory in order.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vk2::oru {

class IniSection;

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
  IniSection* Find(std::string_view name) const;
  IniSection* AddSection(std::string name, std::string header);
  void Reset();
  void IndexSections();

  // The first entry is the unnamed section of the lines before the first header.
  std::vector<std::unique_ptr<IniSection>> sections_;
  // Folded name -> the first section of that name.
  std::unordered_map<std::string, IniSection*> byName_;
};

}  // namespace vk2::oru

// INI text: "[section]" headers and "key=value" lines. Lines that are neither (comments,
// blanks, anything else) are kept as they are, so a saved file differs from the loaded one only
// where values were written.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk2::oru {

class IniDocument {
 public:
  void Parse(std::string_view text);
  std::string Format() const;

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // False for a section or key that cannot be written as one line.
  bool Set(std::string_view section, std::string_view key, std::string_view value);
  bool RemoveKey(std::string_view section, std::string_view key);
  bool RemoveSection(std::string_view section);

 private:
  struct Line {
    std::string raw;  // comments and unknown lines; also the written form of the others
    std::string key;  // empty: not a key line
    std::string value;
  };
  struct Section {
    std::string name;  // "" for the lines before the first header
    std::string header;
    std::vector<Line> lines;
  };

  Section* Find(std::string_view name);
  const Section* Find(std::string_view name) const;

  std::vector<Section> sections_{Section{}};
};

}  // namespace vk2::oru

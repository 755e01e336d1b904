#include "platform/registry/registry_format.h"

#include <cstdint>
#include <vector>

namespace vk2::registry {
namespace {

constexpr int kMaxDepth = 128;

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  bool Parse(RegistryKey* root) {
    // No XML text holds a NUL, and no name or value could be written back with one.
    if (size_t nul = text_.find('\0'); nul != std::string_view::npos) {
      pos_ = nul;
      return Fail("NUL character");
    }
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
    if (!SkipMisc()) return false;
    if (!Consume("<registry")) return Fail("the file does not start with <registry>");
    std::string name;
    bool empty = false;
    if (!ReadTagEnd(&name, nullptr, &empty)) return false;
    if (!empty && !ReadContent(root, "registry", 1)) return false;
    if (!SkipMisc()) return false;
    if (pos_ != text_.size()) return Fail("text after </registry>");
    return true;
  }

  const std::string& Error() const { return error_; }

 private:
  bool Fail(const std::string& what) {
    if (error_.empty()) {
      int line = 1;
      for (size_t i = 0; i < pos_ && i < text_.size(); ++i)
        line += text_[i] == '\n';
      error_ = "line " + std::to_string(line) + ": " + what;
    }
    return false;
  }

  bool AtEnd() const { return pos_ >= text_.size(); }
  bool Starts(std::string_view s) const { return text_.substr(pos_, s.size()) == s; }
  bool Consume(std::string_view s) {
    if (!Starts(s)) return false;
    pos_ += s.size();
    return true;
  }
  static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  void SkipSpace() {
    while (!AtEnd() && IsSpace(text_[pos_]))
      ++pos_;
  }

  bool SkipPast(std::string_view terminator, const char* what) {
    size_t end = text_.find(terminator, pos_);
    if (end == std::string_view::npos) return Fail(std::string("unterminated ") + what);
    pos_ = end + terminator.size();
    return true;
  }

  // White space, comments and processing instructions (the XML declaration among them).
  bool SkipMisc() {
    for (;;) {
      SkipSpace();
      if (Consume("<!--")) {
        if (!SkipPast("-->", "comment")) return false;
      } else if (Consume("<?")) {
        if (!SkipPast("?>", "processing instruction")) return false;
      } else {
        return true;
      }
    }
  }

  static void AppendUtf8(std::string* out, uint32_t cp) {
    if (cp < 0x80) {
      out->push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }

  // At '&': appends the character it names.
  bool ReadEntity(std::string* out) {
    size_t semi = text_.find(';', pos_);
    if (semi == std::string_view::npos || semi - pos_ > 12) return Fail("bad character reference");
    std::string_view ref = text_.substr(pos_ + 1, semi - pos_ - 1);
    pos_ = semi + 1;
    if (ref == "amp") {
      out->push_back('&');
    } else if (ref == "lt") {
      out->push_back('<');
    } else if (ref == "gt") {
      out->push_back('>');
    } else if (ref == "quot") {
      out->push_back('"');
    } else if (ref == "apos") {
      out->push_back('\'');
    } else if (ref.size() >= 2 && ref[0] == '#') {
      bool hex = ref[1] == 'x';
      std::string_view digits = ref.substr(hex ? 2 : 1);
      if (digits.empty()) return Fail("bad character reference");
      uint32_t cp = 0;
      for (char c : digits) {
        uint32_t d;
        if (c >= '0' && c <= '9') {
          d = static_cast<uint32_t>(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
          d = static_cast<uint32_t>(c - 'a' + 10);
        } else if (hex && c >= 'A' && c <= 'F') {
          d = static_cast<uint32_t>(c - 'A' + 10);
        } else {
          return Fail("bad character reference");
        }
        cp = cp * (hex ? 16 : 10) + d;
        if (cp > 0x10FFFF) return Fail("character reference out of range");
      }
      if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF)) return Fail("bad character reference");
      AppendUtf8(out, cp);
    } else {
      return Fail("unknown entity");
    }
    return true;
  }

  // After a tag name: attributes up to '>' or '/>'. Only `name`, `type` and `version` are known.
  bool ReadTagEnd(std::string* name, std::string* type, bool* empty) {
    bool sawName = false;
    for (;;) {
      size_t before = pos_;
      SkipSpace();
      if (Consume("/>")) {
        *empty = true;
        break;
      }
      if (Consume(">")) {
        *empty = false;
        break;
      }
      if (AtEnd()) return Fail("unterminated tag");
      if (pos_ == before) return Fail("attributes must be separated by white space");
      size_t start = pos_;
      while (!AtEnd() && text_[pos_] != '=' && !IsSpace(text_[pos_]) && text_[pos_] != '>' &&
             text_[pos_] != '/') {
        ++pos_;
      }
      std::string_view attr = text_.substr(start, pos_ - start);
      if (attr.empty()) return Fail("bad attribute");
      SkipSpace();
      if (!Consume("=")) return Fail("attribute without a value");
      SkipSpace();
      if (AtEnd() || (text_[pos_] != '"' && text_[pos_] != '\'')) {
        return Fail("attribute value without quotes");
      }
      char quote = text_[pos_++];
      std::string value;
      for (;;) {
        if (AtEnd()) return Fail("unterminated attribute value");
        char c = text_[pos_];
        if (c == quote) {
          ++pos_;
          break;
        }
        if (c == '<') return Fail("'<' in an attribute value");
        if (c == '&') {
          if (!ReadEntity(&value)) return false;
        } else {
          value.push_back(c);
          ++pos_;
        }
      }
      if (attr == "name") {
        if (sawName) return Fail("repeated attribute");
        sawName = true;
        *name = std::move(value);
      } else if (attr == "type" && type) {
        *type = std::move(value);
      } else if (attr != "version") {
        return Fail("unknown attribute '" + std::string(attr) + "'");
      }
    }
    return true;
  }

  bool ReadText(std::string* out) {
    while (!AtEnd() && text_[pos_] != '<') {
      if (text_[pos_] == '&') {
        if (!ReadEntity(out)) return false;
      } else {
        out->push_back(text_[pos_++]);
      }
    }
    return true;
  }

  static bool ParseNumber(const std::string& text, uint64_t limit, uint64_t* out) {
    if (text.empty() || text.size() > 20) return false;
    uint64_t v = 0;
    for (char c : text) {
      if (c < '0' || c > '9') return false;
      uint64_t d = static_cast<uint64_t>(c - '0');
      if (v > (limit - d) / 10) return false;
      v = v * 10 + d;
    }
    *out = v;
    return true;
  }

  bool ReadValue(RegistryKey* key) {
    std::string name, type = "string";
    bool empty = false;
    if (!ReadTagEnd(&name, &type, &empty)) return false;
    std::string text;
    if (!empty) {
      if (!ReadText(&text)) return false;
      if (!Consume("</value")) return Fail("a value holds something other than text");
      SkipSpace();
      if (!Consume(">")) return Fail("bad end tag");
    }
    if (type == "string") {
      key->SetString(name, text);
    } else if (type == "dword" || type == "qword") {
      bool dword = type == "dword";
      uint64_t number = 0;
      if (!ParseNumber(text, dword ? UINT32_MAX : UINT64_MAX, &number)) {
        return Fail("bad number in value '" + name + "'");
      }
      key->SetNumber(name, dword ? ValueType::kDword : ValueType::kQword, number);
    } else {
      return Fail("unknown value type '" + type + "'");
    }
    return true;
  }

  bool ReadContent(RegistryKey* key, std::string_view tag, int depth) {
    if (depth > kMaxDepth) return Fail("keys nested too deeply");
    for (;;) {
      if (!SkipMisc()) return false;
      if (AtEnd()) return Fail("missing </" + std::string(tag) + ">");
      if (Consume("</")) {
        if (!Consume(tag)) return Fail("mismatched end tag");
        SkipSpace();
        if (!Consume(">")) return Fail("bad end tag");
        return true;
      }
      if (Consume("<key") &&
          (AtEnd() || IsSpace(text_[pos_]) || text_[pos_] == '>' || text_[pos_] == '/')) {
        std::string name;
        bool empty = false;
        if (!ReadTagEnd(&name, nullptr, &empty)) return false;
        if (name.empty()) return Fail("key without a name");
        // A name seen twice (in any case) is the same key: its contents merge.
        RegistryKey& child = key->Child(name);
        if (!empty && !ReadContent(&child, "key", depth + 1)) return false;
      } else if (Consume("<value") &&
                 (AtEnd() || IsSpace(text_[pos_]) || text_[pos_] == '>' || text_[pos_] == '/')) {
        if (!ReadValue(key)) return false;
      } else {
        return Fail("unexpected content");
      }
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
  std::string error_;
};

void Escape(std::string* out, std::string_view text, bool attribute) {
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    switch (c) {
      case '&':
        *out += "&amp;";
        break;
      case '<':
        *out += "&lt;";
        break;
      case '>':
        *out += "&gt;";
        break;
      case '"':
        *out += attribute ? "&quot;" : "\"";
        break;
      default:
        if (u < 0x20 && (attribute || (c != '\n' && c != '\t')) && u != 0) {
          static const char kHex[] = "0123456789ABCDEF";
          *out += "&#x";
          out->push_back(kHex[u >> 4]);
          out->push_back(kHex[u & 15]);
          out->push_back(';');
        } else if (u != 0) {
          out->push_back(c);
        }
    }
  }
}

void FormatKey(std::string* out, const RegistryKey& key, int depth) {
  std::string indent(static_cast<size_t>(depth) * 2, ' ');
  for (const auto& v : key.Values()) {
    *out += indent;
    *out += "<value name=\"";
    Escape(out, v.name, true);
    *out += "\" type=\"";
    *out += v.type == ValueType::kString  ? "string"
            : v.type == ValueType::kDword ? "dword"
                                          : "qword";
    *out += "\">";
    if (v.type == ValueType::kString) {
      Escape(out, v.text, false);
    } else {
      *out += std::to_string(v.number);
    }
    *out += "</value>\n";
  }
  for (const auto& child : key.Children()) {
    *out += indent;
    *out += "<key name=\"";
    Escape(out, child->Name(), true);
    if (child->Values().empty() && child->Children().empty()) {
      *out += "\"/>\n";
      continue;
    }
    *out += "\">\n";
    FormatKey(out, *child, depth + 1);
    *out += indent;
    *out += "</key>\n";
  }
}

}  // namespace

bool ParseRegistryText(std::string_view text, RegistryKey* root, std::string* error) {
  *root = RegistryKey(root->Name());
  Reader reader(text);
  if (reader.Parse(root)) return true;
  *root = RegistryKey(root->Name());
  if (error) *error = reader.Error();
  return false;
}

std::string FormatRegistryText(const RegistryKey& root) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<registry version=\"1\">\n";
  FormatKey(&out, root, 1);
  out += "</registry>\n";
  return out;
}

}  // namespace vk2::registry

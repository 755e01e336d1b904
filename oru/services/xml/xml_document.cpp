#include "oru/services/xml/xml_document.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <sstream>

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "oru/core/text_util.h"
#include "oru/services/xml/nul_reference.h"
#include "platform/whole_file.h"

namespace vk2::oru {
namespace {

constexpr uint64_t kMaxDocumentBytes = 256ull << 20;
constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_pi | pugi::parse_declaration | pugi::parse_comments;

// UTF-16 text (with its byte order mark) as UTF-8; other text as it is.
std::string AsUtf8(const uint8_t* data, size_t size) {
  bool le = size >= 2 && data[0] == 0xFF && data[1] == 0xFE;
  bool be = size >= 2 && data[0] == 0xFE && data[1] == 0xFF;
  if (!le && !be) return std::string(reinterpret_cast<const char*>(data), size);
  std::u16string wide;
  for (size_t i = 2; i + 1 < size; i += 2) {
    wide.push_back(
        static_cast<char16_t>(le ? data[i] | (data[i + 1] << 8) : (data[i] << 8) | data[i + 1]));
  }
  std::string out = ToUtf8(wide.c_str());
  return out;
}

}  // namespace

int32_t XmlState::LineOf(const char* text) const {
  if (!text || !buffer || text < buffer.get() || text >= buffer.get() + size) return 0;
  return LineAtOffset(static_cast<size_t>(text - buffer.get()));
}

int32_t XmlState::LineAtOffset(size_t offset) const {
  auto it = std::upper_bound(lineStarts.begin(), lineStarts.end(), offset);
  return static_cast<int32_t>(it - lineStarts.begin());
}

int32_t XmlState::ElementEndLine(const char* name) const {
  if (!name || !buffer || name < buffer.get() || name >= buffer.get() + size) return 0;
  const std::string& text = original;
  size_t at = static_cast<size_t>(name - buffer.get());
  // Past the '>' of the tag that `at` stands in, quoted values skipped; npos when unclosed.
  auto tagEnd = [&text](size_t from) {
    char quote = 0;
    for (size_t i = from; i < text.size(); ++i) {
      char c = text[i];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '>') {
        return i;
      }
    }
    return std::string::npos;
  };
  auto skipPast = [&text](size_t from, std::string_view end) {
    size_t found = text.find(end, from);
    return found == std::string::npos ? found : found + end.size() - 1;
  };
  size_t close = tagEnd(at);
  if (close == std::string::npos) return LineAtOffset(text.size());
  if (close > 0 && text[close - 1] == '/') return LineAtOffset(close);
  int32_t depth = 1;
  for (size_t i = close + 1; i < text.size(); ++i) {
    if (text[i] != '<') continue;
    std::string_view rest(text.data() + i, text.size() - i);
    size_t end;
    if (rest.starts_with("<!--")) {
      end = skipPast(i + 4, "-->");
    } else if (rest.starts_with("<![CDATA[")) {
      end = skipPast(i + 9, "]]>");
    } else if (rest.starts_with("<?")) {
      end = skipPast(i + 2, "?>");
    } else if (rest.starts_with("</")) {
      if (--depth == 0) return LineAtOffset(i);
      end = tagEnd(i);
    } else {
      end = tagEnd(i);
      if (end != std::string::npos && text[end - 1] != '/' && !rest.starts_with("<!")) ++depth;
    }
    if (end == std::string::npos) break;
    i = end;
  }
  return LineAtOffset(text.size());
}

void XmlState::Forget(const pugi::xml_node& removed) {
  for (pugi::xml_node* handle : handles) {
    for (pugi::xml_node n = *handle; n; n = n.parent()) {
      if (n == removed) {
        *handle = pugi::xml_node();
        break;
      }
    }
  }
}

const std::vector<pugi::xml_node>& XmlState::IndexedChildren(const pugi::xml_node& parent,
                                                             const std::string* name,
                                                             int32_t type) {
  auto key = std::make_tuple(static_cast<const void*>(parent.internal_object()), type,
                             name != nullptr, name ? *name : std::string());
  auto [it, fresh] = childIndexes.try_emplace(std::move(key));
  if (fresh) {
    for (pugi::xml_node c : parent.children()) {
      if (XmlNodeMatches(c, name, type)) it->second.push_back(c);
    }
  }
  return it->second;
}

XmlDocumentObject::XmlDocumentObject() : state_(std::make_shared<XmlState>()) {}

std::shared_ptr<XmlState> XmlDocumentObject::State() {
  std::lock_guard lock(mutex_);
  return state_;
}

int32_t XmlDocumentObject::Load(const void* data, uint64_t size, uint32_t) {
  if (!data && size) return kErrMissingArg;
  if (size > kMaxDocumentBytes) return kErrBadData;
  std::string text = AsUtf8(static_cast<const uint8_t*>(data), static_cast<size_t>(size));
  auto state = std::make_shared<XmlState>();
  state->size = text.size();
  state->buffer.reset(new (std::nothrow) char[text.size() + 1]);
  if (!state->buffer) return kErrOutOfMemory;
  std::memcpy(state->buffer.get(), text.data(), text.size());
  state->buffer[text.size()] = '\0';
  // Line starts are taken before parsing, which rewrites the buffer in place.
  state->original = text;
  state->lineStarts.push_back(0);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') state->lineStarts.push_back(i + 1);
  }
  auto refuse = [&](size_t offset, const char* why) {
    std::lock_guard lock(mutex_);
    auto it = std::upper_bound(state->lineStarts.begin(), state->lineStarts.end(), offset);
    errorLine_ = static_cast<int32_t>(it - state->lineStarts.begin());
    error_ = why;
    state_ = std::make_shared<XmlState>();
    return kErrBadData;
  };
  const size_t nul = FindNulCharacterReference(text);
  if (nul != std::string::npos) return refuse(nul, "a character reference names the nul character");
  pugi::xml_parse_result result = state->doc.load_buffer_inplace(
      state->buffer.get(), state->size, kParseOptions, pugi::encoding_utf8);
  if (!result) {
    return refuse(static_cast<size_t>(std::max<ptrdiff_t>(result.offset, 0)), result.description());
  }
  std::lock_guard lock(mutex_);
  error_.clear();
  errorLine_ = 0;
  state_ = std::move(state);
  return 0;
}

int32_t XmlDocumentObject::LoadFile(const char16_t* path, uint32_t flags) {
  if (!path || !*path) return kErrMissingArg;
  std::string text;
  if (ReadWholeFile(ToUtf8(path), &text)) {
    std::lock_guard lock(mutex_);
    error_ = "the file cannot be read";
    errorLine_ = 0;
    return kErrCannotRead;
  }
  return Load(text.data(), text.size(), flags);
}

std::string XmlDocumentObject::Serialize(uint32_t flags) {
  std::shared_ptr<XmlState> state = State();
  std::lock_guard lock(state->mutex);
  std::ostringstream out;
  unsigned format = (flags & kXmlSaveIndent) ? pugi::format_indent : pugi::format_raw;
  state->doc.save(out, "  ", format, pugi::encoding_utf8);
  // The writer leaves a carriage return in text as it is, and reading turns a bare one into a
  // line feed; written as a reference it reads back unchanged. (Values already come escaped.)
  std::string text = out.str();
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    if (c == '\r') {
      escaped += "&#13;";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

int32_t XmlDocumentObject::Save(const char16_t* path, uint32_t, uint32_t flags) {
  if (!path || !*path) return kErrMissingArg;
  return WriteFileAtomic(ToUtf8(path), Serialize(flags)) ? kErrCannotWrite : kOk;
}

int32_t XmlDocumentObject::SaveToMemory(NarrowString* text, uint32_t flags) {
  if (!text) return kErrMissingArg;
  std::string s = Serialize(flags);
  *text = NarrowString(std::string_view(s));
  return 0;
}

int32_t XmlDocumentObject::Root(MXmlNode** root) {
  if (!root) return kErrMissingArg;
  std::shared_ptr<XmlState> state = State();
  pugi::xml_node node = state->doc;
  *root = MakeXmlNode(std::move(state), node);
  return *root ? 0 : kErrOutOfMemory;
}

int32_t XmlDocumentObject::GetError(TString* text, int32_t* line) {
  std::lock_guard lock(mutex_);
  if (text) *text = ToWide(error_);
  if (line) *line = errorLine_;
  return 0;
}

}  // namespace vk2::oru

#include "foundation/parse/tokenizer.h"

#include <string_view>

namespace vk2 {
namespace {

constexpr char16_t kHash[] = {u'#'};
constexpr char16_t kEquals[] = {u'='};
constexpr char16_t kListSeparators[] = {u',', u' ', u'\t'};
constexpr char16_t kKeyValueTrim[] = {u' ', u'\t', u'"', u'\n', u'\r'};
constexpr char16_t kListTrim[] = {u' ', u'\t'};
constexpr char16_t kLineEnds[] = {u'\0', u'\n'};
constexpr char16_t kBackslash[] = {u'\\'};
constexpr char16_t kDoubleQuote[] = {u'"'};

template <size_t N>
constexpr TokenizerChars Chars(const char16_t (&chars)[N]) {
  return TokenizerChars{chars, static_cast<int32_t>(N)};
}

class Walk {
 public:
  Walk(const char16_t* text, int32_t end, const TokenizerSpec& spec, TArray<TString>* out)
      : text_(text), end_(end), spec_(spec), out_(out) {}

  void Run() {
    int32_t i = 0;
    while (i < end_) {
      const char16_t c = text_[i];
      // An escape takes the next character with it; a trailing one, with nothing after it
      // inside the text, is an ordinary character.
      if (spec_.escapes.Contains(c) && i + 1 < end_) {
        i += 2;
        continue;
      }
      if (quoteCut_ > 0) --quoteCut_;
      if (spec_.quotes.Contains(c)) {
        inQuote_ = !inQuote_;
        if (inQuote_) {
          if (start_ < 0) start_ = i + 1;
        } else {
          quoteCut_ = 2;
        }
      } else if (!inQuote_ && spec_.separators.Contains(c)) {
        Finish(i);
      } else if (!inQuote_ && (spec_.lineEnds.Contains(c) || spec_.commentStarts.Contains(c))) {
        Finish(i);
        return;
      } else if (start_ < 0) {
        start_ = i;
      }
      ++i;
    }
    Finish(end_);
  }

 private:
  void Finish(int32_t position) {
    if (start_ < 0) return;
    int32_t first = start_;
    int32_t last = quoteCut_ != 0 ? position - 1 : position;
    start_ = -1;
    while (first < last && spec_.trim.Contains(text_[first]))
      ++first;
    while (last > first && spec_.trim.Contains(text_[last - 1]))
      --last;
    if (last < first) last = first;  // a token opened by its last quote: nothing is left
    // The output grows ten elements at a time whatever its own step.
    if (out_->Count() == out_->Capacity() && !out_->Grow()) return;
    out_->Append(TString(std::u16string_view(text_ + first, last - first)));
  }

  const char16_t* text_;
  int32_t end_;
  const TokenizerSpec& spec_;
  TArray<TString>* out_;
  int32_t start_ = -1;  // first character of the current token; -1: none
  bool inQuote_ = false;
  int quoteCut_ = 0;
};

}  // namespace

void InitKeyValueSpec(TokenizerSpec* spec) {
  spec->commentStarts = Chars(kHash);
  spec->separators = Chars(kEquals);
  spec->trim = Chars(kKeyValueTrim);
  spec->lineEnds = Chars(kLineEnds);
  spec->escapes = Chars(kBackslash);
  spec->quotes = Chars(kDoubleQuote);
}

void InitListSpec(TokenizerSpec* spec) {
  spec->commentStarts = TokenizerChars{};
  spec->separators = Chars(kListSeparators);
  spec->trim = Chars(kListTrim);
  spec->lineEnds = Chars(kLineEnds);
  spec->escapes = Chars(kBackslash);
  spec->quotes = Chars(kDoubleQuote);
}

int32_t TokenizeWide(const char16_t* text, int32_t length, const TokenizerSpec& spec,
                     TArray<TString>* out) {
  out->Clear();
  if (!text) return 0;
  // Without a length the terminator ends the text even inside quotes, where line ends are
  // ordinary characters and the walk would otherwise run past it.
  int32_t end = length;
  if (end < 0) {
    end = 0;
    while (text[end] != 0)
      ++end;
  }
  Walk(text, end, spec, out).Run();
  return static_cast<int32_t>(out->Count());
}

}  // namespace vk2

#include "script/lang/lexer.h"

#include "component/script/script_text.h"

namespace vk2 {
namespace {

bool Is(const char16_t* text, const char* word, uint32_t length) {
  for (uint32_t i = 0; i < length; ++i) {
    if (text[i] != static_cast<char16_t>(word[i])) return false;
  }
  return true;
}

bool IsHexDigit(char16_t c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsDecimalDigit(char16_t c) {
  return c >= '0' && c <= '9';
}

}  // namespace

int32_t KeywordKind(const char16_t* t, uint32_t length) {
  // Keywords match with case and over the whole name.
  switch (length) {
    case 2:
      if (Is(t, "to", 2)) return kTokTo;
      if (Is(t, "if", 2)) return kTokIf;
      if (Is(t, "in", 2)) return kTokIn;
      if (Is(t, "or", 2)) return kTokOr;
      if (Is(t, "gt", 2)) return kTokGreater;
      if (Is(t, "lt", 2)) return kTokLess;
      break;
    case 3:
      if (Is(t, "for", 3)) return kTokFor;
      if (Is(t, "and", 3)) return kTokAnd;
      if (Is(t, "xor", 3)) return kTokXor;
      if (Is(t, "lte", 3)) return kTokLessEqual;
      if (Is(t, "gte", 3)) return kTokGreaterEqual;
      break;
    case 4:
      if (Is(t, "this", 4)) return kTokThis;
      if (Is(t, "step", 4)) return kTokStep;
      if (Is(t, "else", 4)) return kTokElse;
      if (Is(t, "true", 4)) return kTokValue;
      break;
    case 5:
      if (Is(t, "while", 5)) return kTokWhile;
      if (Is(t, "false", 5)) return kTokValue;
      break;
    case 6:
      if (Is(t, "parent", 6)) return kTokParent;
      if (Is(t, "return", 6)) return kTokReturn;
      break;
    case 7:
      if (Is(t, "foreach", 7)) return kTokForeach;
      break;
    default:
      break;
  }
  return kTokName;
}

Lexer::Lexer(const TString& source)
    : source_(source), chars_(source_.c_str()), length_(source_.Length()) {}

void Lexer::SkipBlanks() {
  while (pos_ < length_ && IsWhiteSpaceChar(chars_[pos_]))
    ++pos_;
}

void Lexer::Set(int32_t kind, uint32_t start) {
  token_.kind = kind;
  token_.start = start;
  token_.end = pos_;
  token_.text = TString(TString::View(chars_ + start, pos_ - start));
}

void Lexer::SetText(int32_t kind, uint32_t start, TString text) {
  token_.kind = kind;
  token_.start = start;
  token_.end = pos_;
  token_.text = std::move(text);
}

void Lexer::Error(uint32_t start, TString message) {
  SetText(kTokError, start, std::move(message));
}

void Lexer::Advance() {
  if (length_ == 0) {
    Error(0, u"Empty script");
    return;
  }
  for (;;) {
    SkipBlanks();
    uint32_t start = pos_;
    char16_t c = At(pos_);
    char16_t next = At(pos_ + 1);
    switch (c) {
      case 0:
        SetText(kTokEnd, start, TString());
        return;
      case '.':
        if (IsDecimalDigit(next)) {
          ReadNumber(start);
        } else {
          ++pos_;
          Set(kTokDot, start);
        }
        return;
      case '(':
        ++pos_;
        Set(kTokOpenParen, start);
        return;
      case ')':
        ++pos_;
        Set(kTokCloseParen, start);
        return;
      case ',':
        ++pos_;
        Set(kTokComma, start);
        return;
      case ';':
        ++pos_;
        Set(kTokSemicolon, start);
        return;
      case '[':
        ++pos_;
        Set(kTokOpenBracket, start);
        return;
      case ']':
        ++pos_;
        Set(kTokCloseBracket, start);
        return;
      case '{':
        ++pos_;
        Set(kTokOpenBrace, start);
        return;
      case '}':
        ++pos_;
        Set(kTokCloseBrace, start);
        return;
      case '+':
        pos_ += next == '+' || next == '=' ? 2 : 1;
        Set(next == '+' ? kTokIncrement : next == '=' ? kTokPlusAssign : kTokPlus, start);
        return;
      case '-':
        pos_ += next == '-' || next == '=' ? 2 : 1;
        Set(next == '-' ? kTokDecrement : next == '=' ? kTokMinusAssign : kTokMinus, start);
        return;
      case '*':
        pos_ += next == '=' ? 2 : 1;
        Set(next == '=' ? kTokTimesAssign : kTokTimes, start);
        return;
      case '%':
        pos_ += next == '=' ? 2 : 1;
        Set(next == '=' ? kTokModAssign : kTokMod, start);
        return;
      case '|':
        pos_ += next == '=' ? 2 : 1;
        Set(next == '=' ? kTokConcatAssign : kTokConcat, start);
        return;
      case '!':
        pos_ += next == '=' ? 2 : 1;
        Set(next == '=' ? kTokNotEqual : kTokNot, start);
        return;
      case '>':
        pos_ += next == '=' ? 2 : 1;
        Set(next == '=' ? kTokGreaterEqual : kTokGreater, start);
        return;
      case '<':
        pos_ += next == '=' ? 2 : 1;
        Set(next == '=' ? kTokLessEqual : kTokLess, start);
        return;
      case '=':
        pos_ += next == '=' ? 2 : 1;
        Set(next == '=' ? kTokEqual : kTokAssign, start);
        return;
      case ':':
        pos_ += next == ':' ? 2 : 1;
        Set(next == ':' ? kTokGlobal : kTokColon, start);
        return;
      case '/':
        if (next == '/') {
          pos_ += 2;
          while (pos_ < length_ && chars_[pos_] != '\r' && chars_[pos_] != '\n' &&
                 chars_[pos_] != 0) {
            ++pos_;
          }
          continue;
        }
        if (next == '*') {
          pos_ += 2;
          for (;;) {
            if (pos_ >= length_ || chars_[pos_] == 0) {
              Error(start, u"Unterminated comment.");
              return;
            }
            if (chars_[pos_] == '*' && At(pos_ + 1) == '/') {
              pos_ += 2;
              break;
            }
            ++pos_;
          }
          continue;
        }
        pos_ += next == '=' ? 2 : 1;
        Set(next == '=' ? kTokDivideAssign : kTokDivide, start);
        return;
      case '"':
        ReadLiteral(start);
        return;
      case '#':
        ReadUid(start);
        return;
      case '$':
        ReadLocal(start);
        return;
      default:
        break;
    }
    if (IsIdentifierStart(c)) {
      ReadName(start);
    } else if (IsDecimalDigit(c)) {
      ReadNumber(start);
    } else {
      ++pos_;
      char16_t symbol[2] = {c, 0};
      Error(start, TString::Format(u"Unrecognized symbol '%s'", symbol));
    }
    return;
  }
}

void Lexer::ReadName(uint32_t start) {
  while (pos_ < length_ && IsIdentifierChar(chars_[pos_], true))
    ++pos_;
  uint32_t nameEnd = pos_;
  int32_t kind = KeywordKind(chars_ + start, nameEnd - start);
  // A name takes the blanks after it, so "name :" is still a key.
  SkipBlanks();
  if (kind == kTokName && At(pos_) == ':') {
    ++pos_;
    kind = kTokKey;
  }
  token_.kind = kind;
  token_.start = start;
  token_.end = pos_;
  token_.text = TString(TString::View(chars_ + start, nameEnd - start));
}

void Lexer::ReadNumber(uint32_t start) {
  ++pos_;
  if (At(pos_) == 'x' || At(pos_) == 'X') ++pos_;
  while (pos_ < length_ && (IsHexDigit(chars_[pos_]) || chars_[pos_] == '.'))
    ++pos_;
  Set(kTokValue, start);
}

void Lexer::ReadLiteral(uint32_t start) {
  uint32_t i = start + 1;
  bool closed = false;
  while (i < length_ && chars_[i] != 0) {
    if (chars_[i] == '\\') {
      i += 2;
      continue;
    }
    if (chars_[i] == '"') {
      closed = true;
      break;
    }
    ++i;
  }
  if (!closed) {
    pos_ = length_;
    TString rest(TString::View(chars_ + start, length_ - start));
    Error(start, TString::Format(u"Unterminated \"literal\" - \"%s\"", rest));
    return;
  }
  TString text;
  uint32_t runStart = start + 1;
  for (uint32_t k = start + 1; k < i; ++k) {
    if (chars_[k] != '\\') continue;
    text.AppendPart(chars_ + runStart, static_cast<int32_t>(k - runStart));
    char16_t escaped = chars_[k + 1];
    char16_t decoded = escaped == 'n' || escaped == 'r' ? u'\n' : escaped == 't' ? u'\t' : escaped;
    text.AppendPart(&decoded, 1);
    ++k;
    runStart = k + 1;
  }
  text.AppendPart(chars_ + runStart, static_cast<int32_t>(i - runStart));
  pos_ = i + 1;
  int32_t kind = kTokValue;
  if (At(pos_) == ':') {
    ++pos_;
    kind = kTokKey;
  }
  SetText(kind, start, std::move(text));
}

void Lexer::ReadUid(uint32_t start) {
  ++pos_;
  while (pos_ < length_ && IsHexDigit(chars_[pos_]))
    ++pos_;
  if (pos_ - start - 1 == 8) {
    Set(kTokValue, start);
    return;
  }
  TString read(TString::View(chars_ + start, pos_ - start));
  Error(start, TString::Format(u"Improper UID symbol '%s'", read));
}

void Lexer::ReadLocal(uint32_t start) {
  ++pos_;
  uint32_t nameStart = pos_;
  while (pos_ < length_ && IsIdentifierChar(chars_[pos_], true))
    ++pos_;
  if (pos_ == nameStart) {
    Error(start, u"$ must be followed by a number or letter");
    return;
  }
  SetText(kTokLocal, start, TString(TString::View(chars_ + nameStart, pos_ - nameStart)));
}

}  // namespace vk2

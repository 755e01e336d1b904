// Turns script text into tokens one at a time. A bad input becomes an error token whose text
// is the message; the parser raises it when it meets it.
#pragma once

#include "foundation/text/tstring.h"
#include "script/lang/token.h"

namespace vk2 {

class Lexer {
 public:
  explicit Lexer(const TString& source);

  // Reads the next token into Current().
  void Advance();
  const Token& Current() const { return token_; }
  // Index of the next character to read.
  uint32_t Position() const { return pos_; }
  void SetPosition(uint32_t pos) { pos_ = pos; }

 private:
  char16_t At(uint32_t i) const { return i < length_ ? chars_[i] : 0; }
  void SkipBlanks();
  void Set(int32_t kind, uint32_t start);
  void SetText(int32_t kind, uint32_t start, TString text);
  void Error(uint32_t start, TString message);
  void ReadName(uint32_t start);
  void ReadNumber(uint32_t start);
  void ReadLiteral(uint32_t start);
  void ReadUid(uint32_t start);
  void ReadLocal(uint32_t start);

  TString source_;
  const char16_t* chars_;
  uint32_t length_;
  uint32_t pos_ = 0;
  Token token_;
};

// The keyword kind of a name, or kTokName.
int32_t KeywordKind(const char16_t* text, uint32_t length);

}  // namespace vk2

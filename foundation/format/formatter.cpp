#include "foundation/format/formatter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

#include "foundation/format/double_text.h"
#include "foundation/format/spec_state.h"

namespace vk2 {
namespace {

using format_detail::SpecState;

constexpr char kNullText[] = "(null)";

bool IsInteger(const FormatArg& a) {
  return a.kind == FormatArg::Kind::kSigned || a.kind == FormatArg::Kind::kUnsigned;
}
uint64_t IntegerBits(const FormatArg& a) {
  return a.kind == FormatArg::Kind::kSigned ? static_cast<uint64_t>(a.i) : a.u;
}

// One engine serves both widths; CharT is the width of the format and of the output.
template <class CharT>
class Engine {
 public:
  Engine(CharT* buffer, int32_t capacity, FormatArgs args)
      : buffer_(buffer), capacity_(buffer ? std::max<int32_t>(capacity, 0) : 0), args_(args) {}

  int32_t Run(const CharT* format) {
    SpecState spec;
    for (const CharT* p = format; *p != 0 && !Full(); ++p) {
      if (spec.Active()) {
        Step(spec, *p);
      } else if (*p == '%') {
        spec.Begin();
        broken_ = false;
      } else {
        Put(*p);
      }
    }
    if (buffer_ && count_ < capacity_) buffer_[count_] = 0;
    return static_cast<int32_t>(std::min<int64_t>(count_, std::numeric_limits<int32_t>::max()));
  }

 private:
  using UChar = std::make_unsigned_t<CharT>;

  bool Full() const { return buffer_ && count_ >= capacity_; }
  void Put(CharT c) {
    if (buffer_) {
      if (count_ >= capacity_) return;
      buffer_[count_] = c;
    }
    ++count_;
  }
  void PutRepeat(CharT c, int64_t n) {
    for (int64_t i = 0; i < n && !Full(); ++i)
      Put(c);
  }
  void PutAscii(const char* text, int64_t n) {
    for (int64_t i = 0; i < n && !Full(); ++i)
      Put(static_cast<CharT>(text[i]));
  }

  const FormatArg* NextArg() { return next_ < args_.size() ? &args_[next_++] : nullptr; }

  // The "*" argument: its low 32 bits, kept modulo 1024 by the field. A missing or non-integer
  // argument spoils the whole conversion.
  uint32_t StarArg() {
    const FormatArg* a = NextArg();
    if (!a || !IsInteger(*a)) {
      broken_ = true;
      return 0;
    }
    return static_cast<uint32_t>(IntegerBits(*a));
  }

  void Step(SpecState& spec, CharT c) {
    const auto u = static_cast<UChar>(c);
    if (u > 0x7F) {
      spec.End();
      return;
    }
    const SpecState::Phase phase = spec.GetPhase();
    switch (static_cast<char>(u)) {
      case '%':
        Put('%');
        spec.End();
        return;
      case '-':
        spec.Set(SpecState::kLeft);
        return;
      case '+':
        spec.Set(SpecState::kPlus);
        return;
      case ' ':
        spec.Set(SpecState::kBlank);
        return;
      case '#':
        spec.Set(SpecState::kAlternate);
        return;
      case '.':
        if (phase == SpecState::kPhaseNone || phase == SpecState::kPhaseWidth) {
          spec.SetPhase(SpecState::kPhasePrecision);
          spec.Set(SpecState::kPrecision);
        }
        return;
      case '*':
        if (phase == SpecState::kPhaseNone) {
          spec.SetWidth(StarArg());
          spec.SetPhase(SpecState::kPhaseWidth);
        } else if (phase == SpecState::kPhasePrecision) {
          spec.SetPrecision(StarArg());
          spec.SetPhase(SpecState::kPhaseSize);
        }
        return;
      case 'h':
        spec.SetSize(SpecState::kSizeShort);
        spec.SetPhase(SpecState::kPhaseSize);
        return;
      case 'l':
        spec.SetSize(SpecState::kSizeLong);
        spec.SetPhase(SpecState::kPhaseSize);
        return;
      case 'n':
        // Storing through a pointer taken from the argument list would let a format text write
        // memory, so %n consumes nothing and prints nothing.
        spec.End();
        return;
      case 'c':
      case 'C':
      case 'd':
      case 'i':
      case 'o':
      case 'u':
      case 'x':
      case 'X':
      case 'p':
      case 'e':
      case 'E':
      case 'f':
      case 'g':
      case 'G':
      case 's':
      case 'S':
        Convert(spec, static_cast<char>(u));
        spec.End();
        return;
      default:
        break;
    }
    if (u >= '0' && u <= '9') {
      const uint32_t digit = u - '0';
      if (digit == 0 && spec.Width() == 0 && spec.Precision() == 0) {
        spec.Set(SpecState::kZero);
      } else if (phase == SpecState::kPhaseNone || phase == SpecState::kPhaseWidth) {
        spec.SetWidth(spec.Width() * 10 + digit);
        spec.SetPhase(SpecState::kPhaseWidth);
      } else if (phase == SpecState::kPhasePrecision) {
        spec.SetPrecision(spec.Precision() * 10 + digit);
      }
      return;
    }
    spec.End();  // unknown character: the conversion ends without output
  }

  void Convert(const SpecState& spec, char conversion) {
    const FormatArg* a = NextArg();
    if (!a || broken_) return;
    switch (conversion) {
      case 'c':
      case 'C':
        if (IsInteger(*a)) Put(static_cast<CharT>(IntegerBits(*a)));
        return;
      case 'e':
      case 'E':
      case 'f':
      case 'g':
      case 'G':
        if (a->kind == FormatArg::Kind::kDouble) Double(spec, conversion, a->d);
        return;
      case 's':
      case 'S':
        String(spec, conversion, *a);
        return;
      default:
        Integer(spec, conversion, *a);
        return;
    }
  }

  static char SignChar(const SpecState& spec, bool negative) {
    if (negative) return '-';
    if (spec.Has(SpecState::kPlus)) return '+';
    if (spec.Has(SpecState::kBlank)) return ' ';
    return 0;
  }
  static CharT PadChar(const SpecState& spec) { return spec.Has(SpecState::kZero) ? '0' : ' '; }

  void Integer(const SpecState& spec, char conversion, const FormatArg& a) {
    uint64_t value;
    if (IsInteger(a)) {
      value = IntegerBits(a);
    } else if (conversion == 'p' && a.kind == FormatArg::Kind::kPointer) {
      value = reinterpret_cast<uintptr_t>(a.pointer);
    } else {
      return;
    }
    // Integers are 32 bits; pointers keep their full width.
    if (conversion != 'p') value &= 0xFFFFFFFFu;
    const bool isShort = spec.GetSize() == SpecState::kSizeShort;
    if (isShort) value &= 0xFFFFu;  // low 16 bits, no sign extension

    bool negative = false;
    const bool isSigned = conversion == 'd' || conversion == 'i';
    if (isSigned && !isShort) {
      const auto v = static_cast<int32_t>(static_cast<uint32_t>(value));
      negative = v < 0;
      value = negative ? 0 - static_cast<uint64_t>(static_cast<int64_t>(v)) : value;
    }
    const char sign = isSigned ? SignChar(spec, negative) : 0;

    unsigned base = 10;
    const char* prefix = "";
    const char* digitSet = "0123456789abcdef";
    switch (conversion) {
      case 'o':
        base = 8;
        prefix = "o";
        break;
      case 'x':
        base = 16;
        prefix = "0x";
        break;
      case 'X':
      case 'p':
        base = 16;
        prefix = "0X";
        digitSet = "0123456789ABCDEF";
        break;
      default:
        break;
    }
    if (!spec.Has(SpecState::kAlternate)) prefix = "";
    const int64_t prefixLen = static_cast<int64_t>(std::strlen(prefix));

    char digits[24];
    int digitCount = 0;
    do {
      digits[sizeof(digits) - 1 - digitCount++] = digitSet[value % base];
      value /= base;
    } while (value != 0);

    int64_t minDigits =
        spec.Has(SpecState::kPrecision) && spec.Precision() > 0 ? spec.Precision() : 1;
    if (conversion == 'p') minDigits = std::max<int64_t>(minDigits, 2 * sizeof(void*));
    const int64_t zeros = std::max<int64_t>(minDigits - digitCount, 0);
    const int64_t length = (sign ? 1 : 0) + prefixLen + zeros + digitCount;
    // The prefix does not count against the width.
    const int64_t pad = std::max<int64_t>(spec.Width() + prefixLen - length, 0);

    const bool left = spec.Has(SpecState::kLeft);
    const bool zeroPad = spec.Has(SpecState::kZero);
    if (!left && !zeroPad) PutRepeat(' ', pad);
    if (sign) Put(sign);
    PutAscii(prefix, prefixLen);
    if (!left && zeroPad) PutRepeat('0', pad);
    PutRepeat('0', zeros);
    PutAscii(digits + sizeof(digits) - digitCount, digitCount);
    if (left) PutRepeat(PadChar(spec), pad);
  }

  template <class Src>
  static CharT Convert(Src c) {
    using USrc = std::make_unsigned_t<Src>;
    const auto u = static_cast<USrc>(c);
    if constexpr (sizeof(Src) <= sizeof(CharT)) {
      return static_cast<CharT>(u);  // narrow to wide: each byte as Latin-1
    } else {
      return static_cast<CharT>(u <= 0xFF ? u : '?');  // wide to narrow: Latin-1 or "?"
    }
  }

  template <class Src>
  void PutText(const SpecState& spec, const Src* text) {
    const bool hasPrecision = spec.Has(SpecState::kPrecision) && spec.Precision() > 0;
    const int64_t precision = hasPrecision ? spec.Precision() : 0;
    // With a precision the text is read no further than the precision.
    int64_t length = 0;
    while ((!hasPrecision || length < precision) && text[length] != 0)
      ++length;
    int64_t width = spec.Width();
    if (hasPrecision && precision > width) width = precision;
    const int64_t pad = std::max<int64_t>(width - length, 0);
    const bool left = spec.Has(SpecState::kLeft);
    if (!left) PutRepeat(PadChar(spec), pad);
    for (int64_t i = 0; i < length && !Full(); ++i)
      Put(Convert(text[i]));
    if (left) PutRepeat(PadChar(spec), pad);
  }

  void String(const SpecState& spec, char conversion, const FormatArg& a) {
    // %s is this engine's own width, %S the other one.
    const bool wantWide = (conversion == 's') == std::is_same_v<CharT, char16_t>;
    if (a.kind == FormatArg::Kind::kPointer && a.pointer == nullptr) {
      PutText(spec, kNullText);
    } else if (wantWide && a.kind == FormatArg::Kind::kWideText) {
      if (a.wide) {
        PutText(spec, a.wide);
      } else {
        PutText(spec, kNullText);
      }
    } else if (!wantWide && a.kind == FormatArg::Kind::kNarrowText) {
      PutText(spec, a.narrow ? a.narrow : kNullText);
    }
  }

  void Double(const SpecState& spec, char conversion, double arg) {
    // The nudge makes decimal-looking halves (0.15, 2.675) round up as a reader expects; a
    // finite value that the nudge would carry to infinity keeps its own value.
    const bool isShort = spec.GetSize() == SpecState::kSizeShort;
    double value = arg * (isShort ? 1.000000238418579 : 1.0000000000000004);
    if (std::isfinite(arg) && !std::isfinite(value)) value = arg;
    const char sign = SignChar(spec, value < 0);

    char text[format_detail::kMaxDoubleText];
    int length;
    int64_t paddedLength;
    if (std::isfinite(value)) {
      const int precision =
          spec.Has(SpecState::kPrecision) ? static_cast<int>(spec.Precision()) : 6;
      length = format_detail::RenderDouble(std::fabs(value), conversion, precision,
                                           spec.Has(SpecState::kAlternate), text);
      paddedLength = length + (sign ? 1 : 0);
    } else {
      std::memcpy(text, std::isnan(value) ? "NaN" : "INF", 3);
      length = 3;
      paddedLength = 4;
    }
    const int64_t pad = std::max<int64_t>(spec.Width() - paddedLength, 0);
    const bool left = spec.Has(SpecState::kLeft);
    if (!left) PutRepeat(PadChar(spec), pad);
    if (sign) Put(sign);
    PutAscii(text, length);
    if (left) PutRepeat(PadChar(spec), pad);
  }

  CharT* buffer_;
  int64_t capacity_;
  FormatArgs args_;
  size_t next_ = 0;
  int64_t count_ = 0;
  bool broken_ = false;  // a "*" argument was missing or not an integer
};

template <class CharT>
int32_t FormatArgsImpl(CharT* buffer, int32_t capacity, const CharT* format, FormatArgs args) {
  if (buffer && capacity <= 0) return 0;
  if (!format) {
    if (buffer) buffer[0] = 0;
    return 0;
  }
  return Engine<CharT>(buffer, capacity, args).Run(format);
}

}  // namespace

int32_t FormatWideArgs(char16_t* buffer, int32_t capacity, const char16_t* format,
                       FormatArgs args) {
  return FormatArgsImpl(buffer, capacity, format, args);
}

int32_t FormatNarrowArgs(char* buffer, int32_t capacity, const char* format, FormatArgs args) {
  return FormatArgsImpl(buffer, capacity, format, args);
}

}  // namespace vk2

// Format text from the input against a fixed mix of typed arguments, through both widths.
// Checks that measuring and formatting agree and that a short buffer holds a prefix.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "foundation/format/formatter.h"

namespace {

const int kValue = 0;

std::vector<vk2::FormatArg> MixedArgs() {
  using vk2::MakeFormatArg;
  return {MakeFormatArg(-1),        MakeFormatArg(1029),
          MakeFormatArg(3.5),       MakeFormatArg("narrow"),
          MakeFormatArg(u"wide"),   MakeFormatArg(std::numeric_limits<int32_t>::min()),
          MakeFormatArg(9.9999999), MakeFormatArg(nullptr),
          MakeFormatArg(&kValue),   MakeFormatArg(std::numeric_limits<double>::max()),
          MakeFormatArg(5e-324),    MakeFormatArg(-INFINITY),
          MakeFormatArg(NAN),       MakeFormatArg(uint64_t{0xFFFFFFFFFFFFFFFF}),
          MakeFormatArg(-0.0),      MakeFormatArg(static_cast<const char*>(nullptr)),
          MakeFormatArg(999999.5),  MakeFormatArg(1e308)};
}

template <class CharT, class Fn>
void Check(const std::basic_string<CharT>& format, const std::vector<vk2::FormatArg>& args,
           Fn format_fn) {
  const vk2::FormatArgs span(args.data(), args.size());
  const int32_t n = format_fn(nullptr, 0, format.c_str(), span);
  if (n < 0) std::abort();
  std::basic_string<CharT> full(static_cast<size_t>(n) + 1, CharT('#'));
  if (format_fn(full.data(), n + 1, format.c_str(), span) != n) std::abort();
  if (full[n] != 0) std::abort();
  // A short buffer holds exactly the first characters, with no terminator.
  const int32_t cap = n / 2;
  if (cap > 0) {
    std::basic_string<CharT> part(static_cast<size_t>(cap) + 1, CharT('#'));
    if (format_fn(part.data(), cap, format.c_str(), span) != cap) std::abort();
    if (part.compare(0, cap, full, 0, cap) != 0 || part[cap] != CharT('#')) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<vk2::FormatArg> args = MixedArgs();
  // The argument list starts at an offset from the first byte, so conversions meet every kind.
  size_t offset = 0;
  if (size > 0) {
    offset = data[0] % args.size();
    ++data;
    --size;
  }
  const std::vector<vk2::FormatArg> shifted(args.begin() + offset, args.end());

  std::string narrow(reinterpret_cast<const char*>(data), size);
  narrow = narrow.substr(0, narrow.find('\0'));
  Check(narrow, shifted, vk2::FormatNarrowArgs);

  std::u16string wide;
  for (size_t i = 0; i + 1 < size; i += 2) {
    const char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (c == 0) break;
    wide += c;
  }
  Check(wide, shifted, vk2::FormatWideArgs);
  return 0;
}

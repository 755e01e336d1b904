// UTF-8 -> UTF-16 conversion: ours against glibc's iconv on the same text, side by side.
// Read the ratio of the two times, not the absolute numbers.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>

#include "foundation/text/utf.h"

namespace {

// Mostly ASCII with accented letters and a few symbols, like tags and file names.
std::string SampleText() {
  std::string s;
  for (int i = 0; i < 4096; ++i) {
    s += "Track ";
    s += std::to_string(i);
    s += " - Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5 na\xC3\xAFve/";
  }
  return s;
}

void BM_OursUtf8ToUtf16(benchmark::State& state) {
  const std::string text = SampleText();
  std::u16string out;
  for (auto _ : state) {
    out.resize(vk2::Utf16LengthOfUtf8(text.data(), text.size()));
    vk2::Utf8ToUtf16(text.data(), text.size(), out.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_OursUtf8ToUtf16);

void BM_IconvUtf8ToUtf16(benchmark::State& state) {
  const std::string text = SampleText();
  std::u16string out(text.size(), u'\0');
  iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
  for (auto _ : state) {
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* to = reinterpret_cast<char*>(out.data());
    size_t toLeft = out.size() * sizeof(char16_t);
    iconv(cd, &in, &inLeft, &to, &toLeft);
    benchmark::DoNotOptimize(out.data());
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_IconvUtf8ToUtf16);

}  // namespace

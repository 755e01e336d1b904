// Tokenizes wide text from the input under both built-in specs and a spec whose sets come from
// the input, with and without a length limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "foundation/parse/tokenizer.h"

namespace {

void Check(const char16_t* text, int32_t length, const vk2::TokenizerSpec& spec) {
  vk2::TArray<vk2::TString> out;
  const int32_t n = vk2::TokenizeWide(text, length, spec, &out);
  if (n != static_cast<int32_t>(out.Count())) std::abort();
  // A token is a slice of the text, so the tokens never outgrow it.
  size_t total = 0;
  for (const vk2::TString& token : out)
    total += token.Length();
  size_t available = 0;
  if (length >= 0) {
    available = static_cast<size_t>(length);
  } else {
    while (text[available] != 0)
      ++available;
  }
  if (total > available) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // First byte: a length limit; second byte: how many leading characters define a custom spec.
  const int32_t limit = data[0] == 0xFF ? -1 : data[0];
  const size_t specChars = data[1] % 13;
  data += 2;
  size -= 2;
  // The text has no terminator inside its exact-size allocation unless it runs to the end.
  std::vector<char16_t> decoded;
  for (size_t i = 0; i + 1 < size; i += 2) {
    decoded.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  const std::vector<char16_t> text(decoded.begin(), decoded.end());  // capacity == size
  const auto count = static_cast<int32_t>(text.size());
  const int32_t length = limit < 0 ? -1 : (limit < count ? limit : count);
  std::vector<char16_t> terminated(decoded);
  terminated.push_back(0);

  vk2::TokenizerSpec list;
  vk2::InitListSpec(&list);
  vk2::TokenizerSpec keyValue;
  vk2::InitKeyValueSpec(&keyValue);
  for (const vk2::TokenizerSpec* spec : {&list, &keyValue}) {
    Check(text.data(), count, *spec);
    Check(terminated.data(), length, *spec);
  }

  // Six sets of up to two characters each from the front of the text.
  vk2::TokenizerSpec custom;
  vk2::TokenizerChars* sets[] = {&custom.commentStarts, &custom.separators, &custom.trim,
                                 &custom.lineEnds,      &custom.escapes,    &custom.quotes};
  const size_t usable = specChars < text.size() ? specChars : text.size();
  for (size_t i = 0; i < 6; ++i) {
    const size_t first = i * 2;
    if (first < usable) {
      sets[i]->chars = text.data() + first;
      sets[i]->count = static_cast<int32_t>(usable - first < 2 ? usable - first : 2);
    }
  }
  Check(text.data(), count, custom);
  Check(terminated.data(), length, custom);
  return 0;
}

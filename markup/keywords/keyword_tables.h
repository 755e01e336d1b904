// The markup's keyword vocabulary: every enumerated attribute value is a word looked up in one of
// these tables. The codes are a contract with the canvas (blit modes) and the controls, so rows,
// codes and order are fixed; the parsers decide which table a word is looked up in.
#pragma once

#include <cstdint>
#include <span>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"

namespace vk2::markup {

struct KeywordRow {
  uint64_t code;
  const char* name;
};

using KeywordTable = std::span<const KeywordRow>;

// The sub-tables, in the order they stand in the one constant array.
enum class KeywordGroup : int32_t {
  kStates,
  kDockTypes,
  kChannels,
  kBlitOperations,
  kAlphaSource,
  kSourceInvert,
  kAlphaDestination,
  kDestinationInvert,
  kAlphaCombine,
  kAlphaInvert,
  kAlphaBlend,
  kLayerModes,
  kHitCodes,
  kImageKinds,
  kFillModes,
  kWindowTypes,
  kAlignment,
  kFontStyles,
  kOrientation,
  kValueSources,
};
inline constexpr int32_t kKeywordGroupCount = 20;

KeywordTable Keywords(KeywordGroup group);
// Every row of every group, in order.
KeywordTable AllKeywords();

// Blit-mode fields (bits of the 64-bit code).
inline constexpr uint64_t kBlitChannelsMask = 0xF;
inline constexpr uint64_t kBlitOperationMask = 0xFF00;
inline constexpr uint64_t kBlitAlphaSourceMask = 0x7F0000;
inline constexpr uint64_t kBlitSourceInvertMask = 0x800000;
inline constexpr uint64_t kBlitAlphaDestinationMask = 0x7F000000;
inline constexpr uint64_t kBlitDestinationInvertMask = 0x80000000;
inline constexpr uint64_t kBlitAlphaCombineMask = 0x7F00000000;
inline constexpr uint64_t kBlitAlphaInvertMask = 0x8000000000;
// Bits 40-43 hold an enumeration (interpolate, layer, saturating add, replace, dissolve).
inline constexpr uint64_t kBlitAlphaBlendMask = 0xF0000000000;
inline constexpr uint64_t kBlitCopyAllChannels = 0xF;
inline constexpr uint64_t kAlphaBlendLayer = 0x10000000000;
inline constexpr uint64_t kAlphaBlendDissolve = 0x40000000000;

// Hit codes shared by hit styles and the window drag and size words.
inline constexpr uint32_t kHitDrag = 0x3000;

// Whole-word, case-insensitive lookup; the first matching row wins. False (out untouched) for no
// match or an empty word.
bool LookupKeyword(KeywordTable table, std::u16string_view word, uint64_t* code);
bool LookupKeyword(KeywordTable table, std::string_view word, uint64_t* code);

// Splits `text` into tokens (blank, comma and '|' separate) and looks each up: the first code is
// stored, the low 32 bits of each further one OR'ed in. False for an unknown token (the code
// holds what was combined so far) or a text without tokens.
bool ParseKeywordList(std::u16string_view text, uint64_t* code, KeywordTable table);

// The markup's token rule for value lists, as the keyword lists and blit modes cut them.
int32_t SplitMarkupTokens(std::u16string_view text, TArray<TString>* tokens);

}  // namespace vk2::markup

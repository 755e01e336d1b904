#include "markup/keywords/keyword_tables.h"

#include <array>

#include "foundation/parse/tokenizer.h"
#include "foundation/text/ascii_case.h"

namespace vk2::markup {
namespace {

// clang-format off
constexpr KeywordRow kRows[] = {
    // states
    {0x1, "normal"}, {0x2, "hover"}, {0x4, "hit"},
    // dock types
    {0x0, "master"}, {0x1, "slave"},
    // channels
    {0x1, "ALPHA"}, {0x2, "RED"}, {0x6, "RED-GREEN"}, {0xA, "RED-BLUE"}, {0x4, "GREEN"},
    {0xC, "GREEN-BLUE"}, {0x8, "BLUE"}, {0xE, "COLOR"}, {0xE, "COLOUR"}, {0xE, "RGB"},
    {0xF, "PIXEL"}, {0x0, "NOCHANNEL"},
    // blit operations
    {0x0, "COPY"}, {0x100, "OR"}, {0x200, "AND"}, {0x300, "NAND"}, {0x400, "NOR"},
    {0x500, "XOR"}, {0x800, "SUBSRC"}, {0x900, "SUBDST"}, {0xA00, "ADD"}, {0xB00, "SATSUBSRC"},
    {0xC00, "SATSUBDST"}, {0xE00, "SATADD"}, {0xF00, "COLORIZE"}, {0x1000, "COLORIZE2X"},
    {0x1100, "INV_COLORIZE"}, {0x1200, "INV_COLORIZE2X"}, {0x1300, "NORM_COLORIZE"},
    {0x1400, "INV_NORM_COLORIZE"}, {0x600, "AND_NDST"}, {0x700, "AND_NSRC"},
    {0x1500, "MULTIPLY"}, {0x1600, "SCREEN"}, {0x1700, "OVERLAY"}, {0x1800, "SOFTLIGHT"},
    {0x1900, "HARDLIGHT"}, {0x1A00, "COLORDODGE"}, {0x1A00, "COLOURDODGE"},
    {0x1B00, "COLORBURN"}, {0x1B00, "COLOURBURN"}, {0x1C00, "DARKEN"}, {0x1D00, "LIGHTEN"},
    {0xD00, "DIFFERENCE"}, {0x1E00, "EXCLUSION"},
    // alpha source
    {0x0, "ALPHA_SRCNONE"}, {0x10000, "ALPHA_SRCALPHA"}, {0x20000, "ALPHA_SRCLUM"},
    {0x30000, "ALPHA_SRCLUMALPHA"},
    // source invert
    {0x0, "ALPHA_SRCNOINVERT"}, {0x800000, "ALPHA_SRCINVERT"},
    // alpha destination
    {0x0, "ALPHA_DSTNONE"}, {0x1000000, "ALPHA_DSTALPHA"}, {0x2000000, "ALPHA_DSTLUM"},
    {0x3000000, "ALPHA_DSTLUMALPHA"},
    // destination invert
    {0x0, "ALPHA_DSTNOINVERT"}, {0x80000000, "ALPHA_DSTINVERT"},
    // alpha combine
    {0x0, "ALPHA_COMBINE_MUL"}, {0x100000000, "ALPHA_COMBINE_ADD"},
    {0x200000000, "ALPHA_COMBINE_AVG"}, {0x400000000, "ALPHA_COMBINE_SUBDST"},
    // alpha invert
    {0x0, "ALPHA_NOINVERT"}, {0x8000000000, "ALPHA_INVERT"},
    // alpha blend
    {0x10000000000, "ALPHA_BLEND_PS"}, {0x30000000000, "ALPHA_BLEND_REPLACE"},
    {0x20000000000, "ALPHA_BLEND_SATADD"}, {0x0, "ALPHA_BLEND_INTERP"},
    {0x40000000000, "ALPHA_BLEND_DISSOLVE"},
    // layer modes
    {0x1000001000F, "PS_NORMAL"}, {0x1000001160F, "PS_SCREEN"}, {0x1000001150F, "PS_MULTIPLY"},
    {0x1000001170F, "PS_OVERLAY"}, {0x4000001000F, "PS_DISSOLVE"},
    {0x1000001180F, "PS_SOFTLIGHT"}, {0x1000001190F, "PS_HARDLIGHT"},
    {0x10000011A0F, "PS_COLORDODGE"}, {0x10000011A0F, "PS_COLOURDODGE"},
    {0x10000011B0F, "PS_COLORBURN"}, {0x10000011B0F, "PS_COLOURBURN"},
    {0x10000011C0F, "PS_DARKEN"}, {0x10000011D0F, "PS_LIGHTEN"},
    {0x10000010D0F, "PS_DIFFERENCE"}, {0x10000011E0F, "PS_EXCLUSION"},
    // hit codes
    {0x0, "NONE"}, {0x1, "ACTIVE"}, {0x2, "INACTIVE"}, {0x1000, "DRAGX"}, {0x2000, "DRAGY"},
    {0x3000, "DRAG"}, {0x4000, "PANX"}, {0x5000, "PANY"}, {0x6000, "PAN"}, {0x8, "INPUTFOCUS"},
    {0x7000, "LEFT"}, {0x8000, "TOPLEFT"}, {0x9000, "TOP"}, {0xA000, "TOPRIGHT"},
    {0xB000, "RIGHT"}, {0xC000, "BOTTOMRIGHT"}, {0xD000, "BOTTOM"}, {0xE000, "BOTTOMLEFT"},
    // image kinds
    {0, "colored"}, {0, "coloured"}, {1, "raster"}, {2, "gradient_fourpoint"},
    {3, "gradient_linear"}, {4, "gradient_circular"}, {5, "gradient_radial"}, {6, "static_text"},
    // fill modes
    {0, "once"}, {1, "tile"}, {2, "resize"}, {3, "resize_nocorner"}, {4, "resize_corneronly"},
    {5, "stretch"}, {6, "rotate"}, {7, "rotate_tile"},
    // window types
    {0x0, "generic"}, {0x1, "display"}, {0x2, "console"}, {0x3, "frame"},
    {0x4, "display_statusbar"}, {0x5, "display_topmenu"}, {0x6, "display_topmenu_item_first"},
    {0x7, "display_topmenu_item_middle"}, {0x8, "display_topmenu_item_last"},
    {0x9, "display_topmenu_emptyitem_left"}, {0xA, "display_topmenu_emptyitem_right"},
    {0xB, "display_dropmenu"}, {0xC, "display_dropmenu_item_first"},
    {0xD, "display_dropmenu_item_middle"}, {0xE, "display_dropmenu_item_last"},
    // alignment and trimming
    {0x0, "left"}, {0x1, "right"}, {0x2, "h_center"}, {0x4, "v_center"}, {0x3, "h_full"},
    {0xC, "v_full"}, {0x0, "top"}, {0x8, "bottom"}, {0x10, "trim_chars"}, {0x0, "trim_pixels"},
    {0x20, "trim_chars_w_ellipses"}, {0x40, "single_line_only"},
    // font styles
    {0x1, "light"}, {0x2, "normal"}, {0x2, "medium"}, {0x3, "bold"}, {0x3, "strong"},
    {0x4, "proportional"}, {0x5, "nonproportional"}, {0x6, "serifs"}, {0x7, "noserifs"},
    {0x8, "italic"}, {0x9, "nonitalic"}, {0xA, "underline"}, {0xB, "nonunderline"},
    {0xB, "nounderline"}, {0xC, "default"},
    // orientation and playback
    {0x0, "none"}, {0x1, "horizontal"}, {0x2, "vertical"}, {0x0, "wrap"}, {0x100, "pingpong"},
    {0x0, "forward"}, {0x10000, "reverse"},
    // value sources
    {0, "animtime"}, {1, "angle"}, {2, "opacity"}, {3, "zoom"}, {4, "position"},
};
// clang-format on

constexpr std::array<int32_t, kKeywordGroupCount> kGroupSizes = {
    3, 2, 12, 33, 4, 2, 4, 2, 4, 2, 5, 15, 18, 8, 8, 15, 12, 15, 7, 5};

constexpr int32_t SumOfSizes() {
  int32_t sum = 0;
  for (int32_t n : kGroupSizes)
    sum += n;
  return sum;
}
static_assert(SumOfSizes() == sizeof(kRows) / sizeof(kRows[0]), "group sizes cover every row");

template <class CharT>
bool WordEquals(std::basic_string_view<CharT> word, const char* name) {
  size_t i = 0;
  for (; i < word.size(); ++i) {
    if (name[i] == '\0') return false;
    if (FoldAscii(word[i]) != static_cast<CharT>(FoldAscii(static_cast<unsigned char>(name[i]))))
      return false;
  }
  return name[i] == '\0';
}

template <class CharT>
bool Lookup(KeywordTable table, std::basic_string_view<CharT> word, uint64_t* code) {
  if (word.empty()) return false;
  for (const KeywordRow& row : table) {
    if (WordEquals(word, row.name)) {
      if (code) *code = row.code;
      return true;
    }
  }
  return false;
}

}  // namespace

KeywordTable Keywords(KeywordGroup group) {
  int32_t index = static_cast<int32_t>(group);
  int32_t first = 0;
  for (int32_t i = 0; i < index; ++i)
    first += kGroupSizes[i];
  return KeywordTable(kRows + first, static_cast<size_t>(kGroupSizes[index]));
}

KeywordTable AllKeywords() {
  return KeywordTable(kRows, sizeof(kRows) / sizeof(kRows[0]));
}

bool LookupKeyword(KeywordTable table, std::u16string_view word, uint64_t* code) {
  return Lookup(table, word, code);
}

bool LookupKeyword(KeywordTable table, std::string_view word, uint64_t* code) {
  return Lookup(table, word, code);
}

int32_t SplitMarkupTokens(std::u16string_view text, TArray<TString>* tokens) {
  static constexpr char16_t kSeparators[] = u" ,|";
  static constexpr char16_t kTrim[] = u" ,|\t\"\n\r";
  static constexpr char16_t kLineEnds[] = u"\n";
  static constexpr char16_t kEscapes[] = u"\\";
  static constexpr char16_t kQuotes[] = u"\"";
  TokenizerSpec spec;
  spec.separators = {kSeparators, 3};
  spec.trim = {kTrim, 7};
  spec.lineEnds = {kLineEnds, 1};
  spec.escapes = {kEscapes, 1};
  spec.quotes = {kQuotes, 1};
  TString owned(text);
  return TokenizeWide(owned.c_str(), static_cast<int32_t>(owned.Length()), spec, tokens);
}

bool ParseKeywordList(std::u16string_view text, uint64_t* code, KeywordTable table) {
  TArray<TString> tokens;
  int32_t count = SplitMarkupTokens(text, &tokens);
  if (count <= 0) return false;
  uint64_t combined = 0;
  for (int32_t i = 0; i < count; ++i) {
    uint64_t one = 0;
    if (!LookupKeyword(table, tokens[static_cast<uint32_t>(i)].view(), &one)) {
      if (code) *code = combined;
      return false;
    }
    combined = i == 0 ? one : (combined | (one & 0xFFFFFFFFu));
  }
  if (code) *code = combined;
  return true;
}

}  // namespace vk2::markup

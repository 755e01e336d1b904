#include "gui/playlist_view/playlist_style.h"

#include "gui/window_base/style_element.h"

namespace vk2::gui {
namespace {

constexpr const char16_t* kSetNames[kSkinSetCount] = {
    u"img_header", u"img_sortheader", u"img_column",      u"img_selectcolumn",
    u"img_row",    u"img_currentrow", u"img_selectedrow", u"img_currentselectedrow"};
constexpr const char16_t* kEntrySuffixes[5] = {u"_first", u"", u"_last", u"_even", u"_last_even"};

void ReadTextOffsets(MInterfaceDefinition* iface, MXmlNode* block, const char16_t* name,
                     TextOffsets* out) {
  std::array<int32_t, 4> rect{out->left, out->top, out->right, out->bottom};
  if (ReadRectAttribute(iface, block, name, &rect))
    *out = TextOffsets{rect[0], rect[1], rect[2], rect[3]};
}

}  // namespace

bool LoadPlaylistViewStyle(MInterfaceDefinition* iface, PlaylistViewStyle* style) {
  if (!iface || !style) return false;
  PlaylistViewStyle loaded;
  loaded.playlistName = style->playlistName;
  PlaylistSkin& skin = loaded.skin;
  RefPtr<MXmlNode> found = FindStyleElement(iface, u"VK2_PlaylistWindow");
  MXmlNode* block = found.Get();
  bool given[kSkinSetCount] = {};
  RefPtr<MImageStyleDrawing> sharedDropHint;
  if (block) {
    TString name;
    if (block->GetAttribute(u"playlistname", &name) == 0) loaded.playlistName = name;
    ReadRectAttribute(iface, block, u"rect_borderoffset", &loaded.border);
    skin.contentBackground = ReadImageAttribute(iface, block, u"img_content_background");
    skin.headerBackground = ReadImageAttribute(iface, block, u"img_header_background");
    for (int32_t set = 0; set < kSkinSetCount; ++set) {
      for (int32_t entry = 0; entry < 5; ++entry) {
        TString attribute(kSetNames[set]);
        attribute += kEntrySuffixes[entry];
        skin.sets[set].entries[entry] = ReadImageAttribute(iface, block, attribute.c_str());
      }
      given[set] = skin.sets[set].entries[kSetBase] != nullptr;
    }
    skin.playingRow = ReadImageAttribute(iface, block, u"img_playingrow");
    skin.currentSongRow = ReadImageAttribute(iface, block, u"img_currentsongrow");
    skin.item = ReadImageAttribute(iface, block, u"img_item");
    skin.headerDropHint = ReadImageAttribute(iface, block, u"img_headerdrophintstyle");
    skin.itemDropHint = ReadImageAttribute(iface, block, u"img_itemdrophintstyle");
    sharedDropHint = ReadImageAttribute(iface, block, u"img_drophintstyle");
    skin.searchHighlight = ReadImageAttribute(iface, block, u"img_searchhighlightstyle");
    skin.sortForward = ReadImageAttribute(iface, block, u"img_sortheader_sortforwardimage");
    skin.sortReverse = ReadImageAttribute(iface, block, u"img_sortheader_sortreverseimage");
    ReadRectAttribute(iface, block, u"rect_list_offsets", &skin.listOffsets);
    ReadRectAttribute(iface, block, u"rect_header_offsets", &skin.headerOffsets);
    ReadRectAttribute(iface, block, u"rect_row_offsets", &skin.rowOffsets);
    ReadRectAttribute(iface, block, u"rect_cell_offsets", &skin.cellOffsets);
    ReadTextOffsets(iface, block, u"rect_headertext_offsets", &skin.headerText);
    ReadTextOffsets(iface, block, u"rect_itemtext_offsets", &skin.itemText);
    skin.headerFont = ReadFontAttribute(iface, block, u"font_header");
    skin.itemFont = ReadFontAttribute(iface, block, u"font_item");
    ReadColorAttribute(iface, block, u"font_header_color", &skin.headerColour);
    ReadColorAttribute(iface, block, u"font_headersort_color", &skin.sortHeaderColour);
    ItemTextColours& colours = skin.itemColours;
    ReadColorAttribute(iface, block, u"font_item_color", &colours.plain);
    ReadColorAttribute(iface, block, u"font_selecteditem_color", &colours.selected);
    ReadColorAttribute(iface, block, u"font_currentitem_color", &colours.current);
    ReadColorAttribute(iface, block, u"font_currentselecteditem_color", &colours.currentSelected);
    colours.playingGiven =
        ReadColorAttribute(iface, block, u"font_playingitem_color", &colours.playing);
    colours.currentSongGiven =
        ReadColorAttribute(iface, block, u"font_currentsonbitem_color", &colours.currentSong);
    ReadJustificationAttribute(iface, block, u"font_header_justification",
                               &skin.headerJustification);
    ReadJustificationAttribute(iface, block, u"font_headersort_justification",
                               &skin.sortHeaderJustification);
    ReadJustificationAttribute(iface, block, u"font_item_justification", &skin.itemJustification);
    MXmlNode* child = nullptr;
    if (block->GetChild(u"Scrollbar", 0, kXmlElement, &child) >= 0 && child)
      loaded.scrollBar = RefPtr<MXmlNode>::Adopt(child);
  }
  skin.CompleteSets(given[kSetSelectedRow], given[kSetCurrentRow], given[kSetCurrentSelectedRow]);
  skin.FillDropHints(sharedDropHint.Get());
  skin.ComputeRedrawFlags();
  *style = std::move(loaded);
  return true;
}

}  // namespace vk2::gui

// Playlist items as scripts see them: structures of named texts ("url", "title", "author",
// "duration", "duration_type" and one member per token) converted to and from item records.
#pragma once

#include <cstdint>

#include "core/playlist/item_info.h"
#include "foundation/text/tstring.h"
#include "interfaces/script/script_object.h"

namespace vk2 {

class MPlaylist;

// "duration_estimate", "duration_verified", "duration_unknown", "duration_infinite" for the
// kinds 1 to 4; empty for any other.
TString DurationTypeName(uint32_t kind);

// Fills the record's presence bits and fields from the structure's members; arrays, unreadable
// durations and unknown kind names are skipped. Tokens stay unique by name, ignoring case.
void ItemFromScriptStruct(ItemInfo& record, MScriptObject* structure);
// Appends "uid" (decimal), the present fields and the tokens after the structure's members.
void ItemToScriptStruct(const ItemInfo& record, MScriptObject* structure);

// Adds one copy of the record after `afterId`; the playlist's result, and the new id on success.
int32_t AddOneItem(MPlaylist* playlist, const ItemInfo& record, uint32_t afterId, uint32_t* newId);

}  // namespace vk2

// What the chains tell about their items: the play position, the stream's properties and the
// records the idle scan fills from scan chains.
#include "component/object/query.h"
#include "core/media/chain_id.h"
#include "core/media/media_system.h"
#include "core/playlist/item_info.h"
#include "foundation/util/result.h"
#include "interfaces/audio/chain_types.h"

namespace vk2 {
namespace {

// Replaces the token of that name, else appends one.
void SetToken(ItemInfo* item, const char16_t* name, const TString& value) {
  for (ItemToken& token : item->tokens) {
    if (token.name.Equals(name, false)) {
      token.value = value;
      item->Set(kTokensPresent);
      return;
    }
  }
  item->tokens.Append(ItemToken{TString(name), value});
  item->Set(kTokensPresent);
}

}  // namespace

int32_t MediaSystem::GetPlayInfo(MediaPlayInfo* info) {
  if (!info) return kErrMissingArg;
  RefPtr<MMediaChain> chain;
  double held;
  {
    ScopedLock table(tableLock_);
    info->state = state_;
    info->volume = volume_;
    info->balance = balance_;
    held = heldPosition_;
    if (ChainEntry* e = table_.CurrentOrScan()) chain = e->chain;
  }
  info->currentStreamId = 0;
  info->streamId = 0;
  info->totalTime = -1.0;
  info->totalIsEstimate = 0;
  info->streamTime = 0.0;
  if (!chain) {
    // The idle scan's media system has no owner: then there is no current item either.
    ItemInfo current;
    if (OwnerGetCurrentItem(&current) >= 0) info->streamId = current.id;
    return kOk;
  }
  auto props = Query<MModuleInfo>(chain, kIID_MModuleInfo);
  if (!props) return kOk;
  int32_t value = 0;
  if (props->GetInteger(u"currentstreamid", &value) >= 0) info->currentStreamId = value;
  value = 0;
  if (props->GetInteger(u"streamid", &value) >= 0) info->streamId = static_cast<uint32_t>(value);
  double total = -1.0;
  if (props->GetNumber(u"totaltime", &total) < 0) total = -1.0;
  info->totalTime = total;
  int32_t estimate = 1;
  info->totalIsEstimate =
      props->GetInteger(u"totaltimeisestimate", &estimate) < 0 || estimate != 0 ? 1 : 0;
  double heard = held;
  if (heard == -1.0 && props->GetNumber(u"streamtime", &heard) < 0) heard = 0.0;
  info->streamTime = heard < 0.0 ? 0.0 : heard;
  return kOk;
}

int32_t MediaSystem::FillItemInfo(ItemInfo* item) {
  if (!item) return kErrMissingArg;
  MediaPlayInfo info;
  const int32_t r = GetPlayInfo(&info);
  if (r < 0) return r;
  if (item->id != info.streamId) return kErrFailed;
  const bool verified = item->Has(kDurationPresent) && item->Has(kDurationTypePresent) &&
                        item->GetDurationType() == kDurationVerified;
  if (!verified && info.totalTime >= 0.0) {
    item->SetDuration(static_cast<float>(info.totalTime),
                      info.totalIsEstimate ? kDurationEstimate : kDurationVerified);
  }
  RefPtr<MModuleProperties> props = PropertyFace();
  if (props) {
    TString text;
    if (props->GetString(u"title", &text) >= 0) item->SetTitle(text);
    if (props->GetString(u"author", &text) >= 0) item->SetAuthor(text);
    for (const char16_t* name : {u"album", u"genre", u"year"}) {
      if (props->GetString(name, &text) >= 0) SetToken(item, name, text);
    }
  }
  item->SetScan(info.totalIsEstimate ? kScanBasic : kScanComplete);
  item->Set(kScanPresent);
  return kOk;
}

int32_t MediaSystem::PrepareScan(const ItemInfo* item, int32_t full, int32_t costLimit) {
  if (!item) return kErrMissingArg;
  const uint32_t itemId = item->id;
  auto playsItem = [itemId](const ChainEntry& e) {
    return e.itemId == itemId && (e.role == ChainRole::kCurrent || e.role == ChainRole::kScan);
  };
  {
    ScopedLock table(tableLock_);
    if (table_.Any(playsItem)) return kOk;
  }
  ChainEntry entry;
  int32_t r = BuildEntry(*item, NextChainId(), true, costLimit, nullptr, &entry);
  if (r >= 0) r = entry.chain->StateChange(kChainCued);
  if (r >= 0) r = entry.chain->Prepare(full ? kPrepareFullScan : kPrepareQuickScan);
  if (r >= 0) {
    ScopedLock table(tableLock_);
    // Another thread may have scanned the same item meanwhile.
    if (!table_.Any(playsItem)) {
      table_.Add(std::move(entry));
      return kOk;
    }
  }
  Retire(std::move(entry));
  return r < 0 ? r : kOk;
}

int32_t MediaSystem::DiscardScanChains() {
  std::vector<ChainEntry> scans;
  {
    ScopedLock table(tableLock_);
    table_.TakeRole(ChainRole::kScan, &scans);
  }
  Retire(scans);
  return kOk;
}

}  // namespace vk2

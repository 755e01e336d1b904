// The application state store of the window manager's windows. Used on the GUI thread only, so
// the maps take no lock.
#pragma once

#include <unordered_map>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/app_state.h"

namespace vk2::gui {

struct GuidKeyHash {
  size_t operator()(const Guid& key) const;
};

class AppStateStore final : public ComObject<AppStateStore, SilentFace<MAppStateStore>> {
 public:
  static RefPtr<MAppStateStore> Create();

  int32_t SetText(const Guid& key, const TString& text) override;
  int32_t GetText(const Guid& key, TString* out) override;
  bool RemoveText(const Guid& key) override;
  int32_t SetWordA(const Guid& key, uint32_t value) override;
  int32_t GetWordA(const Guid& key, uint32_t* out) override;
  bool RemoveWordA(const Guid& key) override;
  int32_t SetWordB(const Guid& key, uint32_t value) override;
  int32_t GetWordB(const Guid& key, uint32_t* out) override;
  bool RemoveWordB(const Guid& key) override;
  int32_t SetObject(const Guid& key, MUnknown* object) override;
  int32_t GetObject(const Guid& key, MUnknown** out) override;
  bool RemoveObject(const Guid& key) override;

 private:
  ~AppStateStore() override;

  template <class T>
  using Map = std::unordered_map<Guid, T, GuidKeyHash>;
  Map<TString> texts_;
  Map<uint32_t> wordsA_;
  Map<uint32_t> wordsB_;
  Map<RefPtr<MUnknown>> objects_;
};

}  // namespace vk2::gui

// Building a chain: the reader by score, decoders until the endpoint accepts, filters where
// both neighbours accept them.
#include <algorithm>

#include "audio/common/audio_runtime.h"
#include "audio/engine/audiosys/media_chain.h"
#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/audio/media_types.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

// A decoder of the matching type that scores above both is good enough: it is taken without
// probing the rest, each of which would cost a format-detection pass and a rewind of the reader
// (and a live source cannot rewind at all). The decoders answer 80 and 50 when they accept.
constexpr uint32_t kGoodEnoughScore1 = 79;
constexpr uint32_t kGoodEnoughScore2 = 19;

uint64_t Product(uint32_t a, uint32_t b) {
  return static_cast<uint64_t>(a) * b;
}

bool Contains(const ModuleList& modules, const MAudioModule* m) {
  return std::any_of(modules.begin(), modules.end(),
                     [m](const RefPtr<MAudioModule>& x) { return x.Get() == m; });
}

// Whether one of the decoder's file-type patterns matches the whole URL.
bool MatchesFileType(MAudioModule* decoder, const char16_t* url) {
  auto types = Query<MMediaTypes>(decoder, kIID_MMediaTypes);
  if (!types) return false;
  MediaTypeList list;
  if (types->GetFileTypes(&list) < 0) return false;
  for (uint32_t i = 0; i < list.Count(); ++i) {
    const TString& pattern = list.At(i).pattern;
    if (!pattern.IsEmpty() && WildcardCompare(url, pattern.c_str(), false) == 0) return true;
  }
  return false;
}

}  // namespace

RefPtr<MPreferenceStore> MediaChain::OpenModuleSection(MAudioModule* module) {
  RefPtr<MPreferenceStore> settings;
  {
    ScopedLock lock(lock_);
    settings = settings_;
  }
  if (!settings) return nullptr;
  auto info = Query<MModuleInfo>(module, kIID_MModuleInfo);
  if (!info) return nullptr;
  TString name;
  if (info->GetString(u"modulename", &name) < 0 || name.IsEmpty()) return nullptr;
  auto section = AudioCreate<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  if (!section) return nullptr;
  if (section->SetBase(settings.Get()) < 0 || section->OpenSection(name.c_str(), 1) < 0) {
    return nullptr;
  }
  return section;
}

void MediaChain::ApplySettings(MAudioModule* module) {
  RefPtr<MPreferenceStore> section = OpenModuleSection(module);
  if (!section) return;
  if (auto props = Query<MModuleProperties>(module, kIID_MModuleProperties)) {
    props->LoadSettings(section.Get());
  }
}

int32_t MediaChain::InsertAtEnd(MAudioModule* module) {
  RefPtr<MAudioModule> previous;
  {
    ScopedLock lock(lock_);
    if (!modules_.empty()) previous = modules_.back();
    modules_.emplace_back(module);
  }
  module->SetChain(this);
  if (previous) {
    AudioModuleOutput* out = nullptr;
    AudioModuleInput* in = nullptr;
    const bool connected = previous->GetOutput(&out, 0) >= 0 && out &&
                           module->GetInput(&in, 0) >= 0 && in && out->SetDestination(in) >= 0 &&
                           in->Connect(out) >= 0;
    if (!connected) {
      if (out) out->SetDestination(nullptr);
      if (in) in->Connect(nullptr);
      module->SetChain(nullptr);
      RefPtr<MAudioModule> taken;
      {
        ScopedLock lock(lock_);
        auto it =
            std::find_if(modules_.begin(), modules_.end(),
                         [module](const RefPtr<MAudioModule>& m) { return m.Get() == module; });
        if (it != modules_.end()) {
          taken = std::move(*it);
          modules_.erase(it);
        }
      }
      return MediaError(kMsInsertRefused);
    }
  }
  if (auto registry = Query<MCallbackRegistry>(module, kIID_MCallbackRegistry)) {
    if (registry->RegisterCallback(&callback_, 0) < 0) return MediaError(kMsRegisterCallbackFailed);
  }
  return kOk;
}

int32_t MediaChain::ChooseReader(const char16_t* url, RefPtr<MStreamReader>* chosen) {
  std::vector<RefPtr<MStreamReader>> readers;
  {
    ScopedLock lock(lock_);
    readers = readers_;
  }
  uint64_t best = 0;
  for (const RefPtr<MStreamReader>& reader : readers) {
    ApplySettings(reader.Get());
    uint32_t s1 = 0;
    uint32_t s2 = 0;
    if (reader->CanRead(url, &s1, &s2) < 0) continue;
    // The first of equals wins; a product of 0 never does.
    if (Product(s1, s2) > best) {
      best = Product(s1, s2);
      *chosen = reader;
    }
  }
  return *chosen ? kOk : MediaError(kMsNoReader);
}

int32_t MediaChain::Open(const char16_t* url, int32_t costLimit) {
  if (!url || !*url) return kErrMissingArg;
  RefPtr<MAudioModule> endpoint;
  {
    ScopedLock lock(lock_);
    endpoint = endpoint_;
  }
  if (!endpoint) return MediaError(kMsNoEndpoint);
  ApplySettings(endpoint.Get());
  if (!Modules().empty()) Close();

  RefPtr<MStreamReader> reader;
  int32_t r = ChooseReader(url, &reader);
  if (r < 0) return r;
  const int32_t cost = reader->GetAccessCost(url);
  if (cost < 0) return cost;
  if (cost > costLimit) return MediaError(kMsTooCostly);
  {
    ScopedLock lock(lock_);
    opening_ = reader;
  }
  const int32_t opened = reader->Open(url);
  {
    ScopedLock lock(lock_);
    opening_ = nullptr;
  }
  if (opened < 0) return opened;

  r = InsertAtEnd(reader.Get());
  if (r < 0) {
    Close();
    return r;
  }
  if (reader->HasOutput() == 0) return opened;
  r = BuildDecoders(url, reader.Get());
  if (r < 0) {
    Close();
    return r;
  }
  InsertFilters();
  return kOk;
}

int32_t MediaChain::BuildDecoders(const char16_t* url, MStreamReader* reader) {
  RefPtr<MAudioModule> endpoint;
  ModuleList candidates;
  {
    ScopedLock lock(lock_);
    endpoint = endpoint_;
    candidates = decoders_;
  }
  // Decoders whose file types name the URL are asked first.
  ModuleList matching;
  ModuleList others;
  for (const RefPtr<MAudioModule>& d : candidates) {
    ApplySettings(d.Get());
    (MatchesFileType(d.Get(), url) ? matching : others).push_back(d);
  }

  // A failed building call leaves the modules stopped before the caller closes the chain.
  auto fail = [this](int32_t code, MediaSystemEntry entry) {
    ChangeState(kChainStopped, true);
    return BuildFailure(code, entry);
  };

  for (;;) {
    const ModuleList modules = Modules();
    MAudioModule* last = modules.back().Get();

    // Does the endpoint take what the last module delivers?
    if (endpoint->HasInput() > 0 && last->HasOutput() > 0) {
      int32_t r = ChangeState(kChainFormatDetection, true);
      if (r < 0) return fail(r, kMsEndpointDetectionFailed);
      AudioModuleInput* in = nullptr;
      r = endpoint->GetInput(&in, 0);
      if (r < 0 || !in) return fail(r < 0 ? r : kErrFailed, kMsEndpointGetInputFailed);
      AudioModuleOutput* out = nullptr;
      r = last->GetOutput(&out, 0);
      if (r < 0 || !out) return fail(r < 0 ? r : kErrFailed, kMsFilterGetOutputFailed);
      uint32_t s1 = 0;
      uint32_t s2 = 0;
      r = in->CanHandle(out, &s1, &s2);
      if (r < 0) return fail(r, kMsEndpointCanHandleFailed);
      r = ChangeState(kChainStopped, true);
      if (r < 0) return BuildFailure(r, kMsFilterStateChangeFailed);
      if (Product(s1, s2) != 0) return InsertAtEnd(endpoint.Get());
    }

    // Otherwise the decoder that takes the last module's data best.
    RefPtr<MAudioModule> best;
    uint64_t bestProduct = 0;
    bool done = false;
    if (last->HasOutput() >= 1) {
      for (const ModuleList* group : {&matching, &others}) {
        for (const RefPtr<MAudioModule>& candidate : *group) {
          if (Contains(modules, candidate.Get()) || candidate->HasInput() <= 0) continue;
          AudioModuleInput* in = nullptr;
          int32_t r = candidate->GetInput(&in, 0);
          if (r < 0 || !in) return fail(r < 0 ? r : kErrFailed, kMsFilterGetInputFailed);
          AudioModuleOutput* out = nullptr;
          r = last->GetOutput(&out, 0);
          if (r < 0 || !out) return fail(r < 0 ? r : kErrFailed, kMsFilterGetOutputFailed);
          r = ChangeState(kChainFormatDetection, true);
          if (r < 0) return fail(r, kMsFilterDetectionFailed);
          uint32_t s1 = 0;
          uint32_t s2 = 0;
          r = in->CanHandle(out, &s1, &s2);
          if (r < 0) return fail(r, kMsFilterCanHandleFailed);
          r = ChangeState(kChainStopped, true);
          if (r < 0) return BuildFailure(r, kMsFilterStateChangeFailed);
          // The next candidate sees the stream from its start. A source that cannot go back
          // (a live stream past its history) ends the probing with what was found so far.
          const bool rewound = reader->SetPosition(0) >= 0;
          if (Product(s1, s2) > bestProduct) {
            bestProduct = Product(s1, s2);
            best = candidate;
          }
          if ((group == &matching && s1 > kGoodEnoughScore1 && s2 > kGoodEnoughScore2) ||
              !rewound) {
            done = true;
            break;
          }
        }
        if (done) break;
      }
    }
    if (best) {
      const int32_t r = InsertAtEnd(best.Get());
      if (r < 0) return r;
      continue;
    }

    // Nothing takes the data: decoded audio the endpoint refuses, or undecodable bytes.
    AudioModuleOutput* out = nullptr;
    if (last->GetOutput(&out, 0) >= 0 && out) {
      AudioFormatList formats;
      if (out->GetFormats(&formats) >= 0) {
        for (uint32_t i = 0; i < formats.Count(); ++i) {
          if (!(formats.At(i)->type == kFormatByteStream)) {
            return MediaError(kMsEndpointRefusesFormat);
          }
        }
      }
    }
    return MediaError(kMsNoDecoder);
  }
}

void MediaChain::InsertFilters() {
  ModuleList filters;
  {
    ScopedLock lock(lock_);
    filters = filters_;
  }
  for (const RefPtr<MAudioModule>& f : filters)
    Insert(f.Get());
}

int32_t MediaChain::Insert(MAudioModule* filter) {
  if (!filter) return kErrMissingArg;
  ApplySettings(filter);
  AudioModuleInput* filterIn = nullptr;
  AudioModuleOutput* filterOut = nullptr;
  int32_t r = filter->GetInput(&filterIn, 0);
  if (r < 0) return r;
  r = filter->GetOutput(&filterOut, 0);
  if (r < 0) return r;
  if (!filterIn || !filterOut) return kErrFailed;

  const ModuleList modules = Modules();
  if (modules.size() < 2) return MediaError(kMsInsertRefused);

  // Positions from just before the endpoint towards the reader, never before the first module.
  for (size_t pos = modules.size() - 1; pos >= 1; --pos) {
    MAudioModule* up = modules[pos - 1].Get();
    MAudioModule* down = modules[pos].Get();
    AudioModuleOutput* upOut = nullptr;
    AudioModuleInput* downIn = nullptr;
    if (up->GetOutput(&upOut, 0) < 0 || !upOut || down->GetInput(&downIn, 0) < 0 || !downIn) {
      break;
    }
    if (ChangeState(kChainFormatDetection, true) < 0) break;
    uint32_t a1 = 0;
    uint32_t a2 = 0;
    uint32_t b1 = 0;
    uint32_t b2 = 0;
    const bool probed = filterIn->CanHandle(upOut, &a1, &a2) >= 0 && filter->SetChain(this) >= 0 &&
                        filterIn->Connect(upOut) >= 0 &&
                        downIn->CanHandle(filterOut, &b1, &b2) >= 0;
    filterIn->Connect(nullptr);
    ChangeState(kChainStopped, true);
    if (!probed || Product(a1, a2) == 0 || Product(b1, b2) == 0) {
      // The probe chose a format on the upstream output under the downstream module's feet:
      // give the downstream module its own choice back.
      filter->SetChain(nullptr);
      downIn->Connect(upOut);
      if (!probed) break;
      continue;
    }

    {
      ScopedLock lock(lock_);
      auto it = std::find_if(modules_.begin(), modules_.end(),
                             [down](const RefPtr<MAudioModule>& m) { return m.Get() == down; });
      if (it == modules_.end()) break;
      modules_.emplace(it, filter);
    }
    filter->SetChain(this);
    bool ok = upOut->SetDestination(filterIn) >= 0 && filterIn->Connect(upOut) >= 0 &&
              filterOut->SetDestination(downIn) >= 0 && downIn->Connect(filterOut) >= 0;
    if (ok) {
      if (auto registry = Query<MCallbackRegistry>(filter, kIID_MCallbackRegistry)) {
        ok = registry->RegisterCallback(&callback_, 0) >= 0;
      }
    }
    if (ok) return kOk;
    // Undo: the neighbours are joined again as before.
    filterOut->SetDestination(nullptr);
    filterIn->Connect(nullptr);
    upOut->SetDestination(downIn);
    downIn->Connect(upOut);
    filter->SetChain(nullptr);
    RefPtr<MAudioModule> taken;
    {
      ScopedLock lock(lock_);
      auto it = std::find_if(modules_.begin(), modules_.end(),
                             [filter](const RefPtr<MAudioModule>& m) { return m.Get() == filter; });
      if (it != modules_.end()) {
        taken = std::move(*it);
        modules_.erase(it);
      }
    }
    break;
  }
  ChangeState(kChainStopped, true);
  return kOk;
}

}  // namespace vk2

// The playlist's list operations at 10,000 and 100,000 items: the segment list with its position
// index and the shuffle order, side by side with the same work on a plain std::vector. Each
// benchmark's time is ours; "vector_ms" is the reference's time per iteration and "ratio" ours
// over it. Operations that are one call per item (appends, random inserts and removals,
// lookups, walks) run once per item, so the time of a whole pass shows how they scale.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
#include <vector>

#include "bench/playlist_items.h"
#include "core/playlist/playlist_order.h"
#include "core/playlist/playlist_storage.h"

namespace vk2::bench {
namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The playlist's own pair: stored records and their orders.
struct Playlist {
  PlaylistStorage storage;
  PlaylistOrder order{storage};
  uint32_t nextId = 0;

  PlaylistItem* Record(const ItemInfo& info) {
    PlaylistItem* item = storage.TakeRecord();
    item->info = info;
    item->info.id = ++nextId;
    return item;
  }
  // Lists the records before `index`, then links each into the shuffle order, as the playlist
  // does with an addition.
  void Add(PlaylistItem* const* items, uint32_t n, uint32_t index) {
    const uint32_t before = storage.Count();
    storage.Insert(index, items, n);
    for (uint32_t i = 0; i < n; ++i)
      order.AddToShuffle(items[i], before + i);
  }
  void Fill(const ItemInfoArray& infos, uint32_t n) {
    std::vector<PlaylistItem*> items;
    items.reserve(n);
    for (uint32_t i = 0; i < n; ++i)
      items.push_back(Record(infos[i]));
    Add(items.data(), n, storage.Count());
  }
  void RemoveAt(uint32_t index) {
    order.RemoveFromShuffle(storage.List().At(index));
    storage.RemoveRun(index, 1);
  }
};

const ItemInfoArray& Infos() {
  static const ItemInfoArray infos = MakeItems(100000);
  return infos;
}

// The first `n` records, as the reference's plain list of pointers.
std::vector<const ItemInfo*> PlainList(uint32_t n) {
  std::vector<const ItemInfo*> plain;
  plain.reserve(n);
  for (uint32_t i = 0; i < n; ++i)
    plain.push_back(&Infos()[i]);
  return plain;
}

// A playlist holding the first `n` records.
std::unique_ptr<Playlist> FilledPlaylist(uint32_t n) {
  auto list = std::make_unique<Playlist>();
  list->Fill(Infos(), n);
  return list;
}

// An empty playlist and an empty reference copy, made again before every timed round.
struct EmptyPair {
  std::unique_ptr<Playlist> list;
  std::vector<ItemInfo> copy;

  void Reset() {
    list = std::make_unique<Playlist>();
    copy = {};
  }
};

// Times `ours` and `reference` once per iteration after an untimed `setup`; the benchmark's
// time is ours (manual time), the reference's goes into the counters.
// One untimed round first: the first touch of fresh memory (page faults, which are slow on a
// virtual machine) would otherwise land in the one or two iterations of the largest size.
template <class Setup, class Ours, class Reference>
void Measure(benchmark::State& state, Setup setup, Ours ours, Reference reference) {
  setup();
  ours();
  reference();
  double referenceMs = 0;
  for (auto _ : state) {
    setup();
    const auto t0 = Clock::now();
    ours();
    const auto t1 = Clock::now();
    reference();
    const auto t2 = Clock::now();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    referenceMs += Ms(t2 - t1);
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["vector_ms"] = referenceMs / iterations;
  state.counters["items"] = static_cast<double>(state.range(0));
}

int TitleCompare(const ItemInfo& a, const ItemInfo& b) {
  return WideCompare(a.title.c_str(), b.title.c_str(), false);
}

void BulkAdd(benchmark::State& state) {
  const auto n = static_cast<uint32_t>(state.range(0));
  EmptyPair pair;
  Measure(
      state, [&] { pair.Reset(); }, [&] { pair.list->Fill(Infos(), n); },
      [&] { pair.copy.assign(Infos().begin(), Infos().begin() + n); });
}

void AppendOneAtATime(benchmark::State& state) {
  const auto n = static_cast<uint32_t>(state.range(0));
  EmptyPair pair;
  Measure(
      state, [&] { pair.Reset(); },
      [&] {
        for (uint32_t i = 0; i < n; ++i) {
          PlaylistItem* item = pair.list->Record(Infos()[i]);
          pair.list->Add(&item, 1, pair.list->storage.Count());
        }
      },
      [&] {
        for (uint32_t i = 0; i < n; ++i)
          pair.copy.push_back(Infos()[i]);
      });
}

// From n/2 items: n/2 single inserts at random places (shuffle insertion included), then n/2
// single removals at random places.
void RandomInsertsAndRemovals(benchmark::State& state) {
  const auto n = static_cast<uint32_t>(state.range(0));
  std::unique_ptr<Playlist> list;
  std::vector<const ItemInfo*> plain;
  std::vector<uint32_t> places;
  Measure(
      state,
      [&] {
        list = FilledPlaylist(n / 2);
        plain = PlainList(n / 2);
        std::mt19937 random(1);
        places.clear();
        for (uint32_t size = n / 2; size < n; ++size)
          places.push_back(random() % (size + 1));
        for (uint32_t size = n; size > n / 2; --size)
          places.push_back(random() % size);
      },
      [&] {
        uint32_t step = 0;
        for (uint32_t i = n / 2; i < n; ++i) {
          PlaylistItem* item = list->Record(Infos()[i]);
          list->Add(&item, 1, places[step++]);
        }
        for (uint32_t i = n / 2; i < n; ++i)
          list->RemoveAt(places[step++]);
      },
      [&] {
        uint32_t step = 0;
        for (uint32_t i = n / 2; i < n; ++i)
          plain.insert(plain.begin() + places[step++], &Infos()[i]);
        for (uint32_t i = n / 2; i < n; ++i)
          plain.erase(plain.begin() + places[step++]);
      });
}

// n lookups of an item by position, each followed by the position of that item.
void IndexLookups(benchmark::State& state) {
  const auto n = static_cast<uint32_t>(state.range(0));
  const auto list = FilledPlaylist(n);
  std::vector<const ItemInfo*> plain = PlainList(n);
  std::vector<uint32_t> places;
  std::mt19937 random(2);
  for (uint32_t i = 0; i < n; ++i)
    places.push_back(random() % n);
  Measure(
      state, [] {},
      [&] {
        int64_t sum = 0;
        for (uint32_t p : places)
          sum += list->storage.List().IndexOf(list->storage.List().At(p));
        benchmark::DoNotOptimize(sum);
      },
      [&] {
        int64_t sum = 0;
        for (uint32_t p : places)
          sum += plain[p] - plain.front();
        benchmark::DoNotOptimize(sum);
      });
}

// From the first item to the last by "next", in list order and in shuffle order, and back by
// "previous" in list order.
void NextAndPrevious(benchmark::State& state) {
  const auto n = static_cast<uint32_t>(state.range(0));
  const auto list = FilledPlaylist(n);
  std::vector<const ItemInfo*> plain = PlainList(n);
  Measure(
      state, [] {},
      [&] {
        uint32_t steps = 0;
        for (bool shuffle : {false, true}) {
          uint32_t id = 0;
          list->order.GetFirst(&id, shuffle);
          uint32_t last = id;
          for (; id != 0; ++steps) {
            last = id;
            list->order.GetNext(id, &id, shuffle);
          }
          if (!shuffle) {
            for (id = last; id != 0; ++steps)
              list->order.GetPrev(id, &id, false);
          }
        }
        benchmark::DoNotOptimize(steps);
      },
      [&] {
        const ItemInfo* seen = nullptr;
        for (int pass = 0; pass < 3; ++pass) {
          for (const ItemInfo* info : plain)
            benchmark::DoNotOptimize(seen = info);
        }
      });
}

template <SortKey kKey>
void SortBy(benchmark::State& state) {
  const auto n = static_cast<uint32_t>(state.range(0));
  const auto list = FilledPlaylist(n);
  std::vector<PlaylistItem*> original;
  list->storage.List().ForEach([&original](PlaylistItem* item) { original.push_back(item); });
  std::vector<const ItemInfo*> plain;
  Measure(
      state,
      [&] {
        list->storage.List().Assign(original.data(), n);
        plain = PlainList(n);
      },
      [&] { list->order.Sort(kKey, true, TString()); },
      [&] {
        std::sort(plain.begin(), plain.end(), [](const ItemInfo* a, const ItemInfo* b) {
          return kKey == SortKey::kTitle
                     ? TitleCompare(*a, *b) < 0
                     : WideCompare(a->author.c_str(), b->author.c_str(), false) < 0;
        });
      });
}

// A fresh shuffle order, then a random list order.
void Shuffle(benchmark::State& state) {
  const auto n = static_cast<uint32_t>(state.range(0));
  const auto list = FilledPlaylist(n);
  std::vector<const ItemInfo*> plain = PlainList(n);
  std::mt19937 random(3);
  Measure(
      state, [] {},
      [&] {
        list->order.Reshuffle();
        list->order.Randomize();
      },
      [&] {
        std::shuffle(plain.begin(), plain.end(), random);
        std::shuffle(plain.begin(), plain.end(), random);
      });
}

void Reverse(benchmark::State& state) {
  const auto n = static_cast<uint32_t>(state.range(0));
  const auto list = FilledPlaylist(n);
  std::vector<const ItemInfo*> plain = PlainList(n);
  Measure(
      state, [] {}, [&] { list->order.Reverse(); },
      [&] { std::reverse(plain.begin(), plain.end()); });
}

void TotalTime(benchmark::State& state) {
  const auto n = static_cast<uint32_t>(state.range(0));
  const auto list = FilledPlaylist(n);
  std::vector<ItemInfo> plain(Infos().begin(), Infos().begin() + n);
  Measure(
      state, [] {},
      [&] {
        double total = 0;
        list->storage.List().ForEach([&total](PlaylistItem* item) {
          if (item->info.Has(kDurationPresent)) total += item->info.duration;
        });
        benchmark::DoNotOptimize(total);
      },
      [&] {
        double total = 0;
        for (const ItemInfo& info : plain) {
          if (info.Has(kDurationPresent)) total += info.duration;
        }
        benchmark::DoNotOptimize(total);
      });
}

// Every record of one playlist into a new one, in list order.
void Copy(benchmark::State& state) {
  const auto n = static_cast<uint32_t>(state.range(0));
  const auto source = FilledPlaylist(n);
  const std::vector<ItemInfo> plain(Infos().begin(), Infos().begin() + n);
  EmptyPair target;
  Measure(
      state, [&] { target.Reset(); },
      [&] {
        std::vector<PlaylistItem*> items;
        items.reserve(n);
        source->storage.List().ForEach(
            [&](PlaylistItem* item) { items.push_back(target.list->Record(item->info)); });
        target.list->Add(items.data(), n, 0);
      },
      [&] { target.copy = plain; });
}

struct BenchmarkCase {
  const char* name;
  void (*run)(benchmark::State&);
};

const BenchmarkCase kCases[] = {
    {"BulkAdd", BulkAdd},
    {"AppendOneAtATime", AppendOneAtATime},
    {"RandomInsertsAndRemovals", RandomInsertsAndRemovals},
    {"IndexLookups", IndexLookups},
    {"NextAndPrevious", NextAndPrevious},
    {"SortByTitle", SortBy<SortKey::kTitle>},
    {"SortByAuthor", SortBy<SortKey::kAuthor>},
    {"Shuffle", Shuffle},
    {"Reverse", Reverse},
    {"TotalTime", TotalTime},
    {"Copy", Copy},
};

// Every case at both sizes, timed by hand (Measure) and shown in milliseconds.
[[maybe_unused]] const bool kRegistered = [] {
  for (const BenchmarkCase& c : kCases) {
    benchmark::RegisterBenchmark(c.name, c.run)
        ->Arg(10000)
        ->Arg(100000)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace
}  // namespace vk2::bench

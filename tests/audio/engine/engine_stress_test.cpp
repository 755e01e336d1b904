// Chains played, paused, seeked, suspended and stopped from several threads at once: each chain
// has an owner thread that drives it as the player does, while other threads stop it from
// outside, read its properties, change its volume and add and remove notifications. Seamless
// items run through one output node meanwhile. A watchdog fails the run instead of letting it
// hang. Runs under ThreadSanitizer too (label "stress").
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>

#include "audio/engine/audiosys/audio_system.h"
#include "tests/audio/engine/engine_env.h"

namespace vk2::test {
namespace {

// Fails the test (and ends the process) when the work does not finish in time.
class Watchdog {
 public:
  explicit Watchdog(std::chrono::seconds limit)
      : thread_([this, limit] {
          std::unique_lock lock(mutex_);
          if (!cv_.wait_for(lock, limit, [this] { return done_; })) {
            std::fprintf(stderr, "engine stress: no progress within %lld s: a wait hangs\n",
                         static_cast<long long>(limit.count()));
            std::fflush(stderr);
            std::abort();
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    cv_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool done_ = false;
  std::thread thread_;
};

struct Slot {
  std::mutex mutex;  // guards `chain` (replaced by the owner)
  RefPtr<MMediaChain> chain;
};

class EngineStress : public EngineEnv {
 protected:
  void SetUp() override {
    AddReader("R");
    AddDecoder("dec");
    AddFilter("f");
    for (int i = 0; i < 6; ++i) {
      SignalSpec spec{44100,
                      2,
                      16,
                      false,
                      true,
                      4410u * static_cast<uint32_t>(2 + i),
                      static_cast<uint32_t>(i)};
      std::u16string name(u"s");
      name.append(1, static_cast<char16_t>(u'0' + i)).append(u".sig");
      AddStream(name, SignalFile(spec));
    }
  }
  std::u16string Url(int i) {
    return u"signal://s" + std::u16string(1, static_cast<char16_t>(u'0' + i % 6)) + u".sig";
  }
  RefPtr<MMediaChain> Current(Slot& slot) {
    std::lock_guard lock(slot.mutex);
    return slot.chain;
  }
};

TEST_F(EngineStress, ChainsDrivenFromManyThreadsAtOnce) {
  constexpr int kOwners = 3;
  constexpr int kRounds = 40;
  Watchdog watchdog(std::chrono::seconds(150));
  std::vector<std::shared_ptr<CaptureState>> devices;
  for (int i = 0; i < kOwners; ++i) {
    auto d = std::make_shared<CaptureState>();
    d->clock = CaptureState::Clock::kStepped;
    d->stepUs = 4000;
    devices.push_back(d);
  }
  Slot slots[kOwners];
  std::atomic<bool> stop{false};
  std::atomic<int> events{0};
  std::atomic<int> finishedRounds{0};
  RecordingCallback listener;
  listener.onEvent = [&](int32_t, uint32_t) { ++events; };

  // Owners: build, cue, play, pause, suspend, seek, stop, close, as the player does.
  auto owner = [&](int index) {
    std::mt19937 rng(static_cast<uint32_t>(index) * 7919u + 1u);
    for (int round = 0; round < kRounds; ++round) {
      RefPtr<MMediaChain> chain = NewChain();
      RefPtr<AudioEndpoint> endpoint = NewEndpoint(devices[index]);
      chain->SetEndpoint(endpoint.Get());
      RefPtr<MModuleProperties> props = Properties(chain.Get());
      if (chain->Open(Url(index + round).c_str(), 1000) != 0) continue;
      props->SetNumber(u"bufferlength", 0.05 + 0.01 * (rng() % 5));
      chain->RegisterCallback(&listener, static_cast<uint32_t>(index));
      {
        std::lock_guard lock(slots[index].mutex);
        slots[index].chain = chain;
      }
      chain->Play(0.75);
      for (int step = 0; step < 12; ++step) {
        switch (rng() % 8) {
          case 0:
            chain->StateChange(kChainCued);
            break;
          case 1:
            chain->StateChange(kChainPlaying);
            break;
          case 2:
            chain->StateChange(kChainSuspended);
            break;
          case 3:
            chain->Seek((rng() % 100) / 100.0, 0, 1);
            break;
          case 4:
            chain->StateChange(kChainStopped);
            break;
          case 5:
            chain->WaitForBuffer(0.5);
            break;
          case 6:
            chain->Insert(MakePassThroughFilter(std::make_shared<FilterConfig>()).Get());
            break;
          default:
            std::this_thread::sleep_for(std::chrono::milliseconds(rng() % 3));
            break;
        }
      }
      {
        std::lock_guard lock(slots[index].mutex);
        slots[index].chain = nullptr;
      }
      chain->StateChange(kChainStopped);
      chain->UnregisterCallback(&listener, static_cast<uint32_t>(index));
      chain->Close();
      ++finishedRounds;
    }
  };

  // Meddlers: what other threads do to a chain they do not own.
  auto meddler = [&](int seed) {
    std::mt19937 rng(static_cast<uint32_t>(seed));
    RecordingCallback own;
    while (!stop) {
      RefPtr<MMediaChain> chain = Current(slots[rng() % kOwners]);
      if (!chain) {
        std::this_thread::yield();
        continue;
      }
      RefPtr<MModuleProperties> props = Properties(chain.Get());
      double d = 0;
      int32_t i = 0;
      switch (rng() % 6) {
        case 0:
          chain->StateChange(kChainStopped);
          break;
        case 1:
          props->GetNumber(u"streamtime", &d);
          props->GetNumber(u"bufferlevel", &d);
          props->GetInteger(u"currentstreamid", &i);
          break;
        case 2: {
          RefPtr<MVolumeControl> v;
          if (chain->QueryVolumeControl(v.Put()) == 0) {
            v->SetVolume((rng() % 100) / 100.0);
            v->RampVolume(1.0, 0.0, 0.5);
          }
          break;
        }
        case 3: {
          RefPtr<MTimeNotifications> tn;
          chain->QueryInterface(kIID_MTimeNotifications, tn.PutVoid(), 1, 0);
          if (tn && tn->AddNotification(&own, 0.05, 1) == 0) tn->RemoveNotification(&own, 0.05, 1);
          break;
        }
        case 4: {
          PropertyDescriptionList list;
          props->Describe(&list);
          break;
        }
        default:
          std::this_thread::sleep_for(std::chrono::microseconds(rng() % 500));
          break;
      }
    }
  };

  // Seamless items through one output node, from their own thread.
  auto seamless = [&] {
    auto device = std::make_shared<CaptureState>();
    device->clock = CaptureState::Clock::kStepped;
    device->stepUs = 8000;
    RefPtr<MOutputNode> node;
    registry.SystemObject()->CreateInstance(kOutputNodeClass, node.PutVoid(), nullptr);
    RefPtr<AudioEndpoint> endpoint = NewEndpoint(device);
    node->SetEndpoint(endpoint.Get());
    node->SetGap(0.01);
    std::vector<RefPtr<MMediaChain>> chains;
    for (int i = 0; i < 10; ++i) {
      RefPtr<MAudioModule> input;
      node->CreateInput(input.Put());
      RefPtr<MMediaChain> chain = NewChain();
      chain->SetEndpoint(input.Get());
      if (chain->Open(Url(i).c_str(), 1000) == 0) {
        chain->StateChange(i == 0 ? kChainPlaying : kChainCued);
        chains.push_back(chain);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      if (chains.size() > 2) {
        chains.front()->StateChange(kChainStopped);
        chains.front()->Close();
        chains.erase(chains.begin());
        if (!chains.empty()) chains.front()->StateChange(kChainPlaying);
      }
    }
    for (auto& c : chains) {
      c->StateChange(kChainStopped);
      c->Close();
    }
    node->DrainInputs();
    node->SetEndpoint(nullptr);
  };

  std::vector<std::thread> threads;
  for (int i = 0; i < kOwners; ++i)
    threads.emplace_back(owner, i);
  std::vector<std::thread> meddlers;
  for (int i = 0; i < 2; ++i)
    meddlers.emplace_back(meddler, 100 + i);
  std::thread seamlessThread(seamless);
  for (auto& t : threads)
    t.join();
  seamlessThread.join();
  stop = true;
  for (auto& t : meddlers)
    t.join();
  EXPECT_EQ(finishedRounds, kOwners * kRounds);
  for (auto& d : devices)
    EXPECT_EQ(d->Overruns(), 0);
}

}  // namespace
}  // namespace vk2::test

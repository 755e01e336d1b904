// The effect control objects as scripts and the player meet them: a real script engine, the
// objects attached under a player's script object, settings in an in-memory preference tree.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "audio/effects/band_layout.h"
#include "audio/effects/equalizer_control.h"
#include "audio/effects/equalizer_filter.h"
#include "audio/effects/pitch_amp_balance_control.h"
#include "audio/effects/pitch_amp_balance_filter.h"
#include "tests/audio/effects/filter_harness.h"
#include "tests/script/script_fixture.h"
#include "tests/support/biquad_response.h"
#include "tests/support/test_signals.h"
#include "tests/support/tone_analysis.h"

namespace vk2::test {
namespace {

class CountingCallback final : public MEffectChangeCallback {
 public:
  int32_t QueryInterface(const Guid&, void** out, uint32_t, uint32_t) override {
    if (out) *out = nullptr;
    return kErrNoInterface;
  }
  uint32_t AddRef() override { return 1; }
  uint32_t Release() override { return 1; }
  int32_t OnEffectChanged() override {
    ++calls;
    if (during) during();
    return 0;
  }
  std::atomic<int> calls{0};
  std::function<void()> during;
};

class ControlObjectsTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    player = MakeObject("player");
    section = registry.NewPreferences();
    ASSERT_EQ(section->OpenSection(u"Players/Main", 1), 0);
    eq = EqualizerControl::Make();
    pab = PitchAmpBalanceControl::Make();
    ASSERT_TRUE(eq && pab);
    for (MControlObject* c : Controls()) {
      ASSERT_EQ(c->Init(section.Get()), 0);
      ASSERT_EQ(c->Attach(reinterpret_cast<uintptr_t>(player.Get())), 0);
    }
    log = MakeObject("log");
    Engine()->AddGlobal(static_cast<MUnknown*>(log.Get()), nullptr);
    ASSERT_EQ(Value("::log.t = \"\";"), "");
  }
  void TearDown() override {
    Engine()->RemoveGlobal(u"log");
    log = nullptr;
    for (MControlObject* c : Controls())
      c->Detach();
    eq = nullptr;
    pab = nullptr;
    player = nullptr;
    ScriptTest::TearDown();
  }
  std::vector<MControlObject*> Controls() {
    return {static_cast<MControlObject*>(eq.Get()), static_cast<MControlObject*>(pab.Get())};
  }

  // The value of a call on the player's object, or the error text it reported.
  std::string Call(const std::string& call) {
    console_->Clear();
    std::string value;
    const int32_t r = Run("return (this." + call + ");", player.Get(), &value);
    if (r == 0) return value;
    const std::string all = console_->All();
    for (const char* message : {"Invalid Parameters"}) {
      if (all.find(message) != std::string::npos) return message;
    }
    const size_t colon = all.find(": ");
    return colon == std::string::npos ? all
                                      : all.substr(colon + 2, all.find('\n', colon) - colon - 2);
  }
  std::string Log() { return Value("return (::log.t);"); }
  RefPtr<MPreferenceStore> Stored(const char16_t* name) {
    RefPtr<MPreferenceStore> s = registry.NewPreferences();
    s->OpenSection(TString::Format(u"Players/Main/%s", name).c_str(), 1);
    return s;
  }

  TestRegistry registry;
  RefPtr<MScriptObject> player;
  RefPtr<MScriptObject> log;
  RefPtr<MPreferenceStore> section;
  RefPtr<EqualizerControl> eq;
  RefPtr<PitchAmpBalanceControl> pab;
};

TEST_F(ControlObjectsTest, EqualizerFunctionsAnswerAsTheTableSays) {
  struct Case {
    const char* call;
    const char* answer;
  };
  const Case cases[] = {
      {"equalizer.GetNumBands()", "20"},
      {"equalizer.SetNumBands(201)", "Valid number of EQ bands is 1-200."},
      {"equalizer.SetNumBands(0)", "Valid number of EQ bands is 1-200."},
      {"equalizer.GetBandGain(20)", "Unable to get band gain - band number out of range."},
      {"equalizer.SetBandGain(3, 0.5)", "set"},
      {"equalizer.GetBandGain(3)", "0.5"},
      {"equalizer.SetBandGain(3, 2)", "Unable to set band gain - unknown error"},
      {"equalizer.SetBandGain(99, 0.5)", "Unable to set band gain - unknown error"},
      {"equalizer.GetBandGain(3)", "0.5"},
      {"equalizer.Reset()", "reset"},
      {"equalizer.GetBandGain(3)", "0"},
      {"equalizer.Reset(1)", "Invalid Parameters"},
      {"equalizer.GetNumBands(1)", "Invalid Parameters"},
      {"equalizer.SetNumBands(150)", "set"},
      {"equalizer.GetNumBands()", "150"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Call(c.call), c.answer) << c.call;
  // The band count set from a script is not stored: a filter reload keeps the stored layout.
  int32_t stored = 0;
  ASSERT_EQ(Stored(u"equalizer")->GetInt(u"NumBands", &stored), 0);
  EXPECT_EQ(stored, 20);
  EXPECT_EQ(eq->GetNumBands(), 150);
}

TEST_F(ControlObjectsTest, EqDataRoundTripsThroughScriptsAndIsChecked) {
  ASSERT_EQ(Call("equalizer.SetBandGain(19, -0.25)"), "set");
  EXPECT_EQ(Value("$d = this.equalizer.GetEQData(); return ($d[19]);", player.Get()),
            "{frequency: 16537.5, bandwidth: 11025, gain: -0.25}");
  EXPECT_EQ(Value("return (this.equalizer.SetEQData(this.equalizer.GetEQData()));", player.Get()),
            "set");
  std::vector<EqualizerBandData> data;
  eq->GetEQData(&data);
  const BandLayout defaults = DefaultLayout();
  ASSERT_EQ(data.size(), 20u);
  for (size_t i = 0; i < data.size(); ++i) {
    // As far as "%g" keeps the digits.
    EXPECT_NEAR(data[i].frequency / defaults[i].frequency, 1.0, 1e-5) << i;
    EXPECT_EQ(data[i].gain, i == 19 ? -0.25 : 0.0);
  }

  struct Case {
    const char* change;
    const char* answer;
  };
  const Case cases[] = {
      {"$d[0][\"frequency\"] = \"0x3E8\";", "set"},
      {"$d[0][\"gain\"] = \"2\";", "Unable to set the EQ data - unknown error"},
      {"$d[0][\"gain\"] = \"\";",
       "EQ data is not in a valid format. Must be the same format as "
       "GetEQData returns."},
      {"$d[0][\"gain\"] = \"loud\";",
       "EQ data is not in a valid format. Must be the same format as "
       "GetEQData returns."},
      {"$d[1][\"bandwidth\"] = \"48001\";", "Unable to set the EQ data - unknown error"},
  };
  for (const Case& c : cases) {
    console_->Clear();
    std::string value;
    const std::string script = std::string("$d = this.equalizer.GetEQData(); ") + c.change +
                               " return (this.equalizer.SetEQData($d));";
    const int32_t r = Run(script, player.Get(), &value);
    const std::string got = r == 0 ? value : console_->All();
    EXPECT_NE(got.find(c.answer), std::string::npos) << c.change << " gave " << got;
  }
  EXPECT_EQ(eq->GetEQData(&data), 0);
  EXPECT_EQ(data[0].frequency, 1000.0);

  ASSERT_EQ(Call("equalizer.SetNumBands(101)"), "set");
  console_->Clear();
  Run("return (this.equalizer.SetEQData(this.equalizer.GetEQData()));", player.Get());
  EXPECT_NE(console_->All().find("Invalid number of bands. Must be between 1 and 100."),
            std::string::npos);
}

TEST_F(ControlObjectsTest, PeerChecksItsArgumentsAndChangesNothingOnFailure) {
  const EqualizerBandData good{1000, 500, 0.5};
  const EqualizerBandData badGain{1000, 500, 1.5};
  const EqualizerBandData badWidth{1000, 0.5, 0.5};
  EXPECT_EQ(eq->SetEQData(&good, 0), kErrOutOfRange);
  const std::vector<EqualizerBandData> many(101, good);
  EXPECT_EQ(eq->SetEQData(many.data(), 101), kErrOutOfRange);
  const EqualizerBandData mixed[] = {good, badGain};
  EXPECT_EQ(eq->SetEQData(mixed, 2), kErrMissingArg);
  EXPECT_EQ(eq->SetEQData(&badWidth, 1), kErrMissingArg);
  EXPECT_EQ(eq->GetNumBands(), 20);
  EXPECT_EQ(eq->SetEQData(mixed, 1), 0);
  EXPECT_EQ(eq->GetNumBands(), 1);
  double gain = 0;
  EXPECT_EQ(eq->GetBandGain(1, &gain), kErrOutOfRange);
  EXPECT_EQ(eq->SetBandGain(0, -1.01), kErrMissingArg);
  EXPECT_EQ(eq->SetBandGain(-1, 0.0), kErrOutOfRange);
  EXPECT_EQ(eq->SetNumBands(-5), kErrOutOfRange);

  // Everything the layout holds is stored, in the filter's own terms.
  const BandLayout stored = ReadBandLayout(Stored(u"EQUALIZER").Get());
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].frequency, 1000.0);
  EXPECT_EQ(stored[0].width, 500.0);
  EXPECT_EQ(stored[0].gain, 0.5);
}

TEST_F(ControlObjectsTest, ListenersHearWhatChangedAndMayCallBackFromAnotherThread) {
  CountingCallback native;
  ASSERT_EQ(eq->RegisterCallback(&native, 1), 0);
  EXPECT_EQ(eq->RegisterCallback(&native, 1), kErrAlreadyPresent);
  const std::string script = "equalizer.RegisterChangeCallback(\"::log.t |= $params[1];\", this)";
  ASSERT_EQ(Call(script), "registered");
  ASSERT_EQ(Call(script), "registered");  // a second binding of the same script

  ASSERT_EQ(Call("equalizer.SetBandGain(0, 0.5)"), "set");
  EXPECT_EQ(Log(), "falsefalse");
  ASSERT_EQ(Call("equalizer.SetNumBands(10)"), "set");
  EXPECT_EQ(Log(), "falsefalsetruetrue");
  ASSERT_EQ(Call("equalizer.Reset()"), "reset");
  EXPECT_EQ(native.calls.load(), 3);

  // Notified with no lock held: a listener may wait on a thread that reads the bands.
  native.during = [this] {
    int32_t seen = -1;
    std::thread reader([&] { seen = eq->GetNumBands(); });
    reader.join();
    EXPECT_EQ(seen, 10);
  };
  EXPECT_EQ(eq->SetBandGain(1, 0.25), 0);
  native.during = nullptr;

  ASSERT_EQ(Call("equalizer.UnregisterChangeCallback(\"\", this)"), "unregistered");
  EXPECT_EQ(Call("equalizer.UnregisterChangeCallback(\"\", this)"),
            "Error registering equalizer callback.");
  ASSERT_EQ(eq->RegisterCallback(&native, 0), 0);
  EXPECT_EQ(eq->RegisterCallback(&native, 0), kErrNotFound);
  ASSERT_EQ(Value("::log.t = \"\";"), "");
  ASSERT_EQ(Call("equalizer.SetBandGain(0, 0.75)"), "set");
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(native.calls.load(), 4);
}

TEST_F(ControlObjectsTest, PitchFunctionsCheckRangesStoreAllThreeAndNotify) {
  CountingCallback native;
  void* face = nullptr;
  ASSERT_EQ(pab->QueryInterface(kIID_MPitchAmpBalanceControl, &face, 0, 0), 0);
  ASSERT_EQ(static_cast<MPitchAmpBalanceControl*>(face)->RegisterCallback(&native, 1), 0);
  ASSERT_EQ(Call("PitchAmpBal.RegisterChangeCallback(\"::log.t |= \\\"x\\\";\", this)"),
            "registered");
  struct Case {
    const char* call;
    const char* answer;
  };
  const Case cases[] = {
      {"PitchAmpBal.GetPitch()", "1"},
      {"PitchAmpBal.SetBalance(1.5)", "Value is out of range."},
      {"PitchAmpBal.GetBalance()", "0"},
      {"PitchAmpBal.SetPitch(0.1)", "Value is out of range."},
      {"PitchAmpBal.SetAmplification(8.5)", "Value is out of range."},
      {"PitchAmpBal.SetPitch(1.3)", "set"},
      {"PitchAmpBal.SetBalance(-1)", "set"},
      {"PitchAmpBal.GetPitch()", "1.3"},
      {"PitchAmpBal.GetBalance()", "-1"},
      {"PitchAmpBal.GetAmplification(2)", "Invalid Parameters"},
      {"PitchAmpBal.UnregisterChangeCallback(\"\", this)", "unregistered"},
      {"PitchAmpBal.UnregisterChangeCallback(\"\", this)", "Error registering equalizer callback."},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Call(c.call), c.answer) << c.call;
  EXPECT_EQ(Log(), "xx");
  EXPECT_EQ(native.calls.load(), 2);
  RefPtr<MPreferenceStore> stored = Stored(u"PitchAmpBal");
  double v = 0;
  ASSERT_EQ(stored->GetDouble(u"pitch", &v), 0);
  EXPECT_EQ(v, 1.3);
  ASSERT_EQ(stored->GetDouble(u"amplification", &v), 0);
  EXPECT_EQ(v, 1.0);
  // The native face takes what it is given; only scripts are held to the ranges.
  EXPECT_EQ(pab->SetPitch(12.0), 0);
  EXPECT_EQ(Call("PitchAmpBal.GetPitch()"), "12");
}

TEST_F(ControlObjectsTest, SettingsSurviveARestartAndReachNewAndPlayingFilters) {
  ASSERT_EQ(Call("equalizer.SetBandGain(10, 1)"), "set");
  ASSERT_EQ(Call("PitchAmpBal.SetPitch(2)"), "set");
  ASSERT_EQ(Call("PitchAmpBal.SetAmplification(0.5)"), "set");

  // A filter of a chain already playing hears of it through the reload message.
  FilterHarness playing{[] { return RefPtr<MAudioModule>(EqualizerFilter::Make().Get()); },
                        &registry};
  RefPtr<MPreferenceStore> chainSection = Stored(u"Equalizer");
  ASSERT_EQ(playing.Properties()->LoadSettings(chainSection.Get()), 0);
  ASSERT_EQ(Call("equalizer.SetBandGain(11, -0.5)"), "set");
  playing.Properties()->SendFilterMessage(kEqualizerReloadMessage, 0);

  // A restart: new control objects read what the old ones stored.
  auto eq2 = EqualizerControl::Make();
  auto pab2 = PitchAmpBalanceControl::Make();
  eq2->Init(section.Get());
  pab2->Init(section.Get());
  double gain = 0;
  ASSERT_EQ(eq2->GetBandGain(10, &gain), 0);
  EXPECT_EQ(gain, 1.0);
  ASSERT_EQ(eq2->GetBandGain(11, &gain), 0);
  EXPECT_EQ(gain, -0.5);
  double pitch = 0;
  pab2->GetPitch(&pitch);
  EXPECT_EQ(pitch, 2.0);

  // A new chain's filters, given the player's section under their module names.
  FilterHarness pitchFilter{
      [] { return RefPtr<MAudioModule>(PitchAmpBalanceFilter::Make().Get()); }};
  ASSERT_EQ(pitchFilter.Properties()->LoadSettings(Stored(u"PitchAmpBal").Get()), 0);
  double v = 0;
  pitchFilter.Properties()->GetNumber(u"pitch", &v);
  EXPECT_EQ(v, 2.0);
  pitchFilter.Properties()->GetNumber(u"amplification", &v);
  EXPECT_EQ(v, 0.5);

  // The playing equalizer now boosts band 10 and cuts band 11, as the analytic response says.
  const BandLayout layout = DefaultLayout();
  const double f = layout[10].frequency;
  const std::vector<double> out =
      playing.Run(MakeSine(f, 0.1, 44100, 44100, 1), 44100, 1, kF32, 1152);
  const std::vector<double> tail(out.begin() + 22050, out.end());
  const double measured =
      Goertzel(tail.data(), WholeCycleCount(f, 44100, tail.size()), f, 44100).amplitude;
  const std::vector<BandStage> stages = {
      BandPassStage(layout[10].frequency, layout[10].width, 44100, 1.0, true),
      BandPassStage(layout[11].frequency, layout[11].width, 44100, -0.5, true)};
  EXPECT_NEAR(ToDb(measured / 0.1), ToDb(std::abs(CascadeResponse(stages, f, 44100))), 0.05);
}

}  // namespace
}  // namespace vk2::test

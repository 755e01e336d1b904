// The equalizer window's bands: what the script functions' answers make of the list, the pixel
// mapping of a drag, and a drag against re-reads.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gui/equalizer_window/equalizer_bands.h"
#include "tests/gui/windows/window_test_text.h"

namespace vk2::gui {
namespace {

// Script functions answering from a table; a missing name is a failed call.
class TableScript final : public EqualizerScript {
 public:
  using Function = std::function<bool(const std::vector<std::string>&, std::string*)>;

  bool Call(const char16_t* name, const std::vector<TString>& params, TString* result) override {
    std::vector<std::string> texts;
    for (const TString& p : params)
      texts.push_back(Text(p));
    const std::string key = Text(TString(name));
    calls.push_back(key);
    const auto found = functions.find(key);
    if (found == functions.end()) return false;
    std::string out;
    if (!found->second(texts, &out)) return false;
    *result = Utf16(out);
    return true;
  }

  // Ten bands labelled "<i>0Hz" with gain i / 10, as a well-behaved script gives them.
  void DefineBands(const std::string& count) {
    functions["GetNumBands"] = [count](const auto&, std::string* out) {
      *out = count;
      return true;
    };
    functions["GetBandFreqString"] = [](const auto& p, std::string* out) {
      *out = p.at(0) + "0Hz";
      return true;
    };
    functions["GetBandGain"] = [this](const auto& p, std::string* out) {
      *out = gains.count(p.at(0)) ? gains[p.at(0)] : "0." + p.at(0);
      return true;
    };
    functions["SetBandGain"] = [this](const auto& p, std::string*) {
      sets.push_back(p);
      gains[p.at(0)] = p.at(1);
      return true;
    };
  }

  std::map<std::string, Function> functions;
  std::map<std::string, std::string> gains;
  std::vector<std::vector<std::string>> sets;
  std::vector<std::string> calls;
};

TEST(EqualizerBandsTest, BandCountOutsideOneToAHundredOrUnreadableShowsNoBands) {
  struct Case {
    const char* count;
    size_t bands;
  };
  const Case cases[] = {{"0", 0}, {"101", 0}, {"-3", 0},    {"ten", 0}, {"5x", 0},
                        {"", 0},  {"1", 1},   {"100", 100}, {"10", 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    TableScript script;
    script.DefineBands(c.count);
    EqualizerBands bands;
    bands.ReadAll(script);
    EXPECT_EQ(bands.Snapshot().size(), c.bands);
  }
}

TEST(EqualizerBandsTest, ReadsLabelsAndGainsAndFallsBackWhenACallFails) {
  TableScript script;
  script.DefineBands("3");
  EqualizerBands bands;
  bands.ReadAll(script);
  std::vector<EqualizerBand> shown = bands.Snapshot();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(Text(shown[2].label), "20Hz");
  EXPECT_DOUBLE_EQ(shown[2].gain, 0.2);

  // A script without the label and gain functions: empty labels, gains 0.
  script.functions.erase("GetBandFreqString");
  script.functions["GetBandGain"] = [](const auto&, std::string*) { return false; };
  bands.ReadAll(script);
  shown = bands.Snapshot();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(Text(shown[1].label), "");
  EXPECT_DOUBLE_EQ(shown[1].gain, 0.0);

  // A failed count empties the list that was there.
  script.functions.erase("GetNumBands");
  bands.ReadAll(script);
  EXPECT_TRUE(bands.Snapshot().empty());
}

TEST(EqualizerBandsTest, PixelsMapToBandsAndGains) {
  // Ten bands in 110 pixels: 10 pixels apart, the first centred at 10.
  EXPECT_EQ(EqualizerBandAt(5, 10, 110), 0);
  EXPECT_EQ(EqualizerBandAt(104, 10, 110), 9);
  EXPECT_EQ(EqualizerBandAt(-50, 10, 110), 0);
  EXPECT_EQ(EqualizerBandAt(500, 10, 110), 9);
  EXPECT_EQ(EqualizerBandAt(24.9, 10, 110), 1);
  EXPECT_EQ(EqualizerBandAt(25, 10, 110), 2);

  // 100 high with 10-pixel font lines: an 80-pixel band area.
  const EqualizerGeometry geometry{110, 100, 10};
  struct Case {
    double y;
    double gain;
  };
  for (const Case& c : std::vector<Case>{
           {0, 1.0}, {-30, 1.0}, {40, 0.0}, {60, -0.5}, {80, -1.0}, {95, -1.0}, {20, 0.5}}) {
    SCOPED_TRACE(c.y);
    double gain = 99;
    ASSERT_TRUE(EqualizerGainAt(c.y, geometry, &gain));
    EXPECT_DOUBLE_EQ(gain, c.gain);
    if (c.y >= 0 && c.y <= 80) {
      EXPECT_DOUBLE_EQ(EqualizerLevelY(gain, geometry), c.y);
    }
  }
}

TEST(EqualizerBandsTest, AWindowWithoutRoomMapsNoPointInsteadOfDividingByZero) {
  double gain = 0.25;
  EXPECT_FALSE(EqualizerGainAt(5, EqualizerGeometry{110, 20, 10}, &gain));  // area 0
  EXPECT_FALSE(EqualizerGainAt(5, EqualizerGeometry{110, 12, 10}, &gain));  // area < 0
  EXPECT_DOUBLE_EQ(gain, 0.25);
  EXPECT_EQ(EqualizerBandAt(5, 10, 0), -1);
  EXPECT_EQ(EqualizerBandAt(5, 0, 110), -1);

  // A press there starts the drag but sets nothing.
  TableScript script;
  script.DefineBands("10");
  EqualizerBands bands;
  bands.ReadAll(script);
  EXPECT_FALSE(bands.Press(script, 50, 5, EqualizerGeometry{0, 0, 10}));
  EXPECT_TRUE(bands.Dragging());
  EXPECT_TRUE(script.sets.empty());
}

TEST(EqualizerBandsTest, ADragSetsGainsAndHoldsOffReReadsUntilReleased) {
  TableScript script;
  script.DefineBands("10");
  EqualizerBands bands;
  bands.ReadAll(script);
  const EqualizerGeometry geometry{110, 100, 10};

  // Moves before a press do nothing.
  EXPECT_FALSE(bands.Move(script, 50, 0, geometry));
  EXPECT_TRUE(script.sets.empty());

  EXPECT_TRUE(bands.Press(script, 5, -10, geometry));  // above the top: +1
  ASSERT_EQ(script.sets.size(), 1u);
  EXPECT_EQ(script.sets[0], (std::vector<std::string>{"0", "1"}));
  EXPECT_TRUE(bands.Move(script, 104, 200, geometry));  // below the area: -1
  EXPECT_EQ(script.sets[1], (std::vector<std::string>{"9", "-1"}));
  EXPECT_DOUBLE_EQ(bands.Snapshot()[9].gain, -1.0);

  // The script changes a gain meanwhile; an update during the drag keeps the user's values.
  script.gains["9"] = "0.75";
  EXPECT_FALSE(bands.Update(script, false));
  EXPECT_FALSE(bands.Update(script, true));
  EXPECT_DOUBLE_EQ(bands.Snapshot()[9].gain, -1.0);

  // Releasing re-reads everything.
  bands.Release(script);
  EXPECT_FALSE(bands.Dragging());
  EXPECT_DOUBLE_EQ(bands.Snapshot()[9].gain, 0.75);
  EXPECT_TRUE(bands.Update(script, true));
}

TEST(EqualizerBandsTest, AFailedSetKeepsTheStoredGain) {
  TableScript script;
  script.DefineBands("4");
  EqualizerBands bands;
  bands.ReadAll(script);
  script.functions["SetBandGain"] = [](const auto&, std::string*) { return false; };
  EXPECT_FALSE(bands.Press(script, 10, 0, EqualizerGeometry{100, 100, 10}));
  EXPECT_DOUBLE_EQ(bands.Snapshot()[0].gain, 0.0);
  EXPECT_TRUE(bands.Dragging());
  bands.CancelDrag();
  EXPECT_FALSE(bands.Dragging());
}

}  // namespace
}  // namespace vk2::gui

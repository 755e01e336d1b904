#include "markup/tween/tween.h"

#include <array>
#include <cmath>

namespace vk2::tween {
namespace {

constexpr double kPi = 3.1415926538;
constexpr int32_t kBounceEntries = 512;

// The ends are exact: the rounding rule alone would leave a falling value one short of its
// target (10 to 0 at t = 1 would give 1).
bool AtAnEnd(int32_t* out, const int32_t* start, const int32_t* target, int32_t count, double t) {
  if (t > 0 && t < 1) return false;
  for (int32_t i = count - 1; i >= 0; --i)
    out[i] = t <= 0 ? start[i] : target[i];
  return true;
}

template <class Factor>
void Walk(int32_t* out, const int32_t* start, const int32_t* target, int32_t count, double t,
          Factor factor) {
  if (AtAnEnd(out, start, target, count, t)) return;
  double f = factor(t);
  for (int32_t i = count - 1; i >= 0; --i) {
    int32_t difference =
        static_cast<int32_t>(static_cast<uint32_t>(target[i]) - static_cast<uint32_t>(start[i]));
    out[i] = start[i] + static_cast<int32_t>(std::trunc(difference * f + 0.5));
  }
}

// The classic bouncing-ball ease-out: three ever smaller bounces before it rests at 1.
double EaseOutBounce(double x) {
  constexpr double n = 7.5625;
  constexpr double d = 2.75;
  if (x < 1 / d) return n * x * x;
  if (x < 2 / d) {
    x -= 1.5 / d;
    return n * x * x + 0.75;
  }
  if (x < 2.5 / d) {
    x -= 2.25 / d;
    return n * x * x + 0.9375;
  }
  x -= 2.625 / d;
  return n * x * x + 0.984375;
}

// Entry i is the remaining share of the way at t = i / 511, so the first entry is the start and
// the last exactly the target.
const std::array<float, kBounceEntries>& BounceTable() {
  static const std::array<float, kBounceEntries> table = [] {
    std::array<float, kBounceEntries> values{};
    for (int32_t i = 0; i < kBounceEntries; ++i)
      values[static_cast<size_t>(i)] =
          static_cast<float>(1.0 - EaseOutBounce(i / double(kBounceEntries - 1)));
    return values;
  }();
  return table;
}

bool WordMatches(std::u16string_view word, const char* name) {
  size_t i = 0;
  for (; i < word.size(); ++i) {
    char16_t a = word[i];
    char16_t b = static_cast<unsigned char>(name[i]);
    if (b == 0) return false;
    if (a >= u'A' && a <= u'Z') a = static_cast<char16_t>(a + 32);
    if (b >= u'A' && b <= u'Z') b = static_cast<char16_t>(b + 32);
    if (a != b) return false;
  }
  return name[i] == '\0';
}

constexpr NamedCode kDragWords[] = {{0x3000, "DRAG"}, {0x1000, "DRAGX"}, {0x2000, "DRAGY"}};
constexpr NamedCode kSizeWords[] = {
    {0x7000, "LEFT"},  {0x8000, "TOPLEFT"},     {0x9000, "TOP"},    {0xA000, "TOPRIGHT"},
    {0xB000, "RIGHT"}, {0xC000, "BOTTOMRIGHT"}, {0xD000, "BOTTOM"}, {0xE000, "BOTTOMLEFT"}};
constexpr NamedCode kMouseButtons[] = {
    {0, "MBUTTON_LEFT"}, {1, "MBUTTON_MIDDLE"}, {2, "MBUTTON_RIGHT"}};
constexpr NamedCurve kCurves[] = {{&TweenLinear, "linear"},
                                  {&TweenAccel, "linear_accel"},
                                  {&TweenDecel, "linear_decel"},
                                  {&TweenSmooth, "linear_smooth"},
                                  {&TweenBounce, "linear_bounce"}};

}  // namespace

void TweenLinear(int32_t* out, const int32_t* start, const int32_t* target, int32_t count,
                 double t) {
  Walk(out, start, target, count, t, [](double x) { return x; });
}

void TweenAccel(int32_t* out, const int32_t* start, const int32_t* target, int32_t count,
                double t) {
  Walk(out, start, target, count, t, [](double x) { return x * x; });
}

void TweenDecel(int32_t* out, const int32_t* start, const int32_t* target, int32_t count,
                double t) {
  Walk(out, start, target, count, t, [](double x) { return 1 - (1 - x) * (1 - x); });
}

void TweenSmooth(int32_t* out, const int32_t* start, const int32_t* target, int32_t count,
                 double t) {
  Walk(out, start, target, count, t, [](double x) { return 0.5 - 0.5 * std::cos(kPi * x); });
}

void TweenBounce(int32_t* out, const int32_t* start, const int32_t* target, int32_t count,
                 double t) {
  if (AtAnEnd(out, start, target, count, t)) return;
  double scaled = t * kBounceEntries;
  int32_t index = scaled >= kBounceEntries ? kBounceEntries - 1
                  : scaled > 0             ? static_cast<int32_t>(scaled)
                                           : 0;
  double factor = BounceTable()[static_cast<size_t>(index)];
  // Walked from the target back toward the start, the reverse of the other curves.
  for (int32_t i = count - 1; i >= 0; --i) {
    int32_t difference =
        static_cast<int32_t>(static_cast<uint32_t>(start[i]) - static_cast<uint32_t>(target[i]));
    out[i] = target[i] + static_cast<int32_t>(std::trunc(difference * factor + 0.5));
  }
}

uint32_t LerpArgb(double t, uint32_t to, uint32_t from) {
  uint32_t result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    double a = (from >> shift) & 0xFF;
    double b = (to >> shift) & 0xFF;
    double mixed = std::trunc(a * (1 - t) + b * t);
    if (mixed < 0) mixed = 0;
    if (mixed > 255) mixed = 255;
    result |= static_cast<uint32_t>(mixed) << shift;
  }
  return result;
}

std::span<const NamedCode> DragWords() {
  return kDragWords;
}
std::span<const NamedCode> SizeWords() {
  return kSizeWords;
}
std::span<const NamedCode> MouseButtonWords() {
  return kMouseButtons;
}
std::span<const NamedCurve> TweenCurveNames() {
  return kCurves;
}

bool FindNamedCode(std::span<const NamedCode> table, std::u16string_view word, uint32_t* code) {
  // The script help texts spell the words with this prefix; both spellings are accepted.
  if (word.size() > 3 && WordMatches(word.substr(0, 3), "IH_")) word.remove_prefix(3);
  for (const NamedCode& row : table) {
    if (WordMatches(word, row.name)) {
      if (code) *code = row.code;
      return true;
    }
  }
  return false;
}

TweenCurve FindTweenCurve(std::u16string_view name) {
  for (const NamedCurve& row : kCurves) {
    if (WordMatches(name, row.name)) return row.curve;
  }
  return nullptr;
}

}  // namespace vk2::tween

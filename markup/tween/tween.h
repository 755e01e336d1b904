// Tween curves and colour blending: how windows and controls animate integer values from a start
// to a target over a time fraction. The GUI kit's command tweens use the same curves, so this is
// a library of its own that both link.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace vk2::tween {

// out[i] = start[i] + trunc((target[i] - start[i]) * f(t) + 0.5), for each i < count.
using TweenCurve = void (*)(int32_t* out, const int32_t* start, const int32_t* target,
                            int32_t count, double t);

void TweenLinear(int32_t* out, const int32_t* start, const int32_t* target, int32_t count,
                 double t);
void TweenAccel(int32_t* out, const int32_t* start, const int32_t* target, int32_t count, double t);
void TweenDecel(int32_t* out, const int32_t* start, const int32_t* target, int32_t count, double t);
void TweenSmooth(int32_t* out, const int32_t* start, const int32_t* target, int32_t count,
                 double t);
// Falls toward the target and bounces off it, ending exactly there at t = 1.
void TweenBounce(int32_t* out, const int32_t* start, const int32_t* target, int32_t count,
                 double t);

// Each 8-bit channel is trunc(from * (1 - t) + to * t).
uint32_t LerpArgb(double t, uint32_t to, uint32_t from);

// The name tables scripts use: each row a code and a name, compared without regard to case.
struct NamedCode {
  uint32_t code;
  const char* name;
};
struct NamedCurve {
  TweenCurve curve;
  const char* name;
};

std::span<const NamedCode> DragWords();
std::span<const NamedCode> SizeWords();
std::span<const NamedCode> MouseButtonWords();
std::span<const NamedCurve> TweenCurveNames();

// A word of a table: exact, or with the "IH_" prefix the help texts spell. False when unknown.
bool FindNamedCode(std::span<const NamedCode> table, std::u16string_view word, uint32_t* code);
// The curve of that name (no prefix), or null.
TweenCurve FindTweenCurve(std::u16string_view name);

}  // namespace vk2::tween

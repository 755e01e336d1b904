// The script interpreter against Lua 5.4 on the same small programs, reported as the ratio of
// our time to Lua's. The script language keeps numbers as text and runs straight from its
// tokens, so parity is not the aim; the ratios show where it stands and catch regressions.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

extern "C" {
#include <lua5.4/lauxlib.h>
#include <lua5.4/lua.h>
#include <lua5.4/lualib.h>
}

#include "foundation/text/tstring.h"
#include "tests/support/script_host.h"

namespace {

struct Scripts : vk2::test::ScriptHost {
  Scripts() {
    lua = luaL_newstate();
    luaL_openlibs(lua);
  }
  lua_State* lua;
};

Scripts& Shared() {
  static Scripts* scripts = new Scripts();
  return *scripts;
}

void Compare(benchmark::State& state, const std::string& ours, const char* lua) {
  using Clock = std::chrono::steady_clock;
  Scripts& s = Shared();
  vk2::TString script = vk2::Utf16(ours);
  Clock::duration oursTime{}, luaTime{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    if (s.engine->Run(script, nullptr, s.self.Get(), nullptr, nullptr) != 0) {
      state.SkipWithError("script failed");
      return;
    }
    const auto t1 = Clock::now();
    if (luaL_dostring(s.lua, lua) != 0) {
      state.SkipWithError("lua failed");
      return;
    }
    const auto t2 = Clock::now();
    oursTime += t1 - t0;
    luaTime += t2 - t1;
  }
  state.counters["ratio_vs_lua"] =
      static_cast<double>(oursTime.count()) / static_cast<double>(luaTime.count());
}

void CountingLoop(benchmark::State& state) {
  Compare(state, "for ($i in 1 to 10000) { }", "for i = 1, 10000 do end");
}

void ArithmeticWhile(benchmark::State& state) {
  Compare(state, "$i = 0; $s = 0; while ($i < 10000) { $s = $s + $i * 2; $i++; }",
          "local i, s = 0, 0 while i < 10000 do s = s + i * 2; i = i + 1 end");
}

void StringAppends(benchmark::State& state) {
  Compare(state, "$s = \"\"; for ($i in 1 to 2000) { $s = $s | \"x\"; }",
          "local s = '' for i = 1, 2000 do s = s .. 'x' end");
}

void FunctionCalls(benchmark::State& state) {
  Compare(state, "f = \"return ($params[0] + 1);\"; $x = 0; for ($i in 1 to 2000) { $x = f($x); }",
          "local function f(a) return a + 1 end local x = 0 for i = 1, 2000 do x = f(x) end");
}

void MemberUpdates(benchmark::State& state) {
  Compare(state, "count = 0; for ($i in 1 to 10000) { this.count = this.count + 1; }",
          "local o = {count = 0} for i = 1, 10000 do o.count = o.count + 1 end");
}

// A loop inside a loop: every pass of the outer loop ends the inner one by passing over its
// body to the closing brace.
void NestedLoops(benchmark::State& state) {
  Compare(state,
          "$n = 0; for ($i in 1 to 2000) { $j = 0; while ($j < 2) { $j++; if ($n < 0) { $n = 0; "
          "$n = 1; $n = 2; $n = 3; $n = 4; $n = 5; } $n = $n + 1; } }",
          "local n = 0 for i = 1, 2000 do local j = 0 while j < 2 do j = j + 1 if n < 0 then "
          "n = 0 n = 1 n = 2 n = 3 n = 4 n = 5 end n = n + 1 end end");
}

// An array built one member at a time, the way interface scripts collect items.
void ArrayAppends(benchmark::State& state) {
  Compare(state, "$a = \"\"; for ($i in 1 to 10000) { $a |= {$i}; }",
          "local a = {} for i = 1, 10000 do a[#a + 1] = i end");
}

BENCHMARK(CountingLoop)->Unit(benchmark::kMicrosecond);
BENCHMARK(ArithmeticWhile)->Unit(benchmark::kMicrosecond);
BENCHMARK(StringAppends)->Unit(benchmark::kMicrosecond);
BENCHMARK(FunctionCalls)->Unit(benchmark::kMicrosecond);
BENCHMARK(MemberUpdates)->Unit(benchmark::kMicrosecond);
BENCHMARK(NestedLoops)->Unit(benchmark::kMicrosecond);
BENCHMARK(ArrayAppends)->Unit(benchmark::kMicrosecond);

}  // namespace

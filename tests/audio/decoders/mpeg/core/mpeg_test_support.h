#pragma once
// Test fixtures made at test time (signal, encoders), our decoder, the reference decoders
// (libmpg123 linked into the tests, ffmpeg as a program) and the accuracy measures.
#include <cstdint>
#include <string>
#include <vector>

#include "audio/decoders/mpeg/core/simd_level.h"

namespace vk2::mpegtest {

// A scratch folder for this test process, removed at exit.
const std::string& ScratchDir();
// Runs a shell command line; true when it exits 0. Errors go to a log in the scratch folder.
bool Run(const std::string& command);
std::vector<uint8_t> ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// A 16-bit WAV of a test signal: tones with moving amplitude, a sweep, noise and clicks (for
// short blocks), different in the two channels; peak about -6 dBFS. Cached by its parameters.
std::string SignalWav(int sampleRate, int channels, double seconds);

// Encodes with a command whose "%in" and "%out" stand for the WAV and the output; cached.
std::string Encode(const std::string& name, const std::string& commandTemplate,
                   const std::string& wav);

struct Pcm {
  int sampleRate = 0;
  int channels = 0;
  std::vector<float> samples;  // interleaved, full scale 1.0
  std::vector<int16_t> pcm16;  // our 16-bit output, when asked for
};

// Our decoder over the whole file, in memory.
Pcm DecodeOurs(const std::vector<uint8_t>& bytes, bool asFloat, MpegSimdLevel level);
// libmpg123, float output, without gapless trimming.
Pcm DecodeMpg123(const std::vector<uint8_t>& bytes);
// ffmpeg's float decoders, to a raw float file.
Pcm DecodeFfmpeg(const std::string& path);

struct Difference {
  double rms = 0;
  double peak = 0;
  size_t compared = 0;
  long offset = 0;  // reference index = ours index + offset
};

// Compares `ours` with `reference` (clipped to [-1, 1] as our float output is) at the sample
// offset, searched within +-maxShift sample frames, that matches best.
Difference Compare(const Pcm& ours, const Pcm& reference, long maxShift = 0);

// The full-accuracy limits of the compliance test on float output.
constexpr double kRmsLimit = 0.0000220970869120796;  // 2^-15 / sqrt(12)
constexpr double kPeakLimit = 0.00006103515625;      // 2^-14

// Largest |ours16 - round(32767 * reference)| over the common part, at offset 0.
int MaxLsbDifference(const Pcm& ours16, const Pcm& referenceFloat);

}  // namespace vk2::mpegtest

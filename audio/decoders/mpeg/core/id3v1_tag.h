#pragma once
// ID3v1 (and v1.1) tag at the end of a stream.
#include <cstddef>
#include <cstdint>
#include <string>

namespace vk2 {

struct Id3v1Tag {
  bool present = false;
  // Narrow text as stored (NUL and trailing blanks removed).
  std::string title, artist, album, year, comment;
  int genre = 255;        // the byte as stored
  int track = 0;          // ID3v1.1 track number, 0 when absent
  std::string genreName;  // empty for 255 ("none") and unknown numbers
};

// Parses the last 128 bytes of a stream; `present` false without the "TAG" marker.
Id3v1Tag ParseId3v1(const uint8_t* block, size_t length);
// The genre list, 0 ("Blues") to 147; nullptr above.
const char* Id3v1GenreName(int genre);
// Tags hold no encoding; Windows-1252 is what they usually carry (a superset of Latin-1).
std::u16string Windows1252ToUtf16(const std::string& text);

}  // namespace vk2

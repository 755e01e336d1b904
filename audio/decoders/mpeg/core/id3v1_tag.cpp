#include "audio/decoders/mpeg/core/id3v1_tag.h"

#include <cstring>

namespace vk2 {

namespace {

constexpr const char* kGenres[148] = {"Blues",
                                      "Classic Rock",
                                      "Country",
                                      "Dance",
                                      "Disco",
                                      "Funk",
                                      "Grunge",
                                      "Hip-Hop",
                                      "Jazz",
                                      "Metal",
                                      "New Age",
                                      "Oldies",
                                      "Other",
                                      "Pop",
                                      "R&B",
                                      "Rap",
                                      "Reggae",
                                      "Rock",
                                      "Techno",
                                      "Industrial",
                                      "Alternative",
                                      "Ska",
                                      "Death Metal",
                                      "Pranks",
                                      "Soundtrack",
                                      "Euro-Techno",
                                      "Ambient",
                                      "Trip-Hop",
                                      "Vocal",
                                      "Jazz+Funk",
                                      "Fusion",
                                      "Trance",
                                      "Classical",
                                      "Instrumental",
                                      "Acid",
                                      "House",
                                      "Game",
                                      "Sound Clip",
                                      "Gospel",
                                      "Noise",
                                      "AlternRock",
                                      "Bass",
                                      "Soul",
                                      "Punk",
                                      "Space",
                                      "Meditative",
                                      "Instrumental Pop",
                                      "Instrumental Rock",
                                      "Ethnic",
                                      "Gothic",
                                      "Darkwave",
                                      "Techno-Industrial",
                                      "Electronic",
                                      "Pop-Folk",
                                      "Eurodance",
                                      "Dream",
                                      "Southern Rock",
                                      "Comedy",
                                      "Cult",
                                      "Gangsta",
                                      "Top 40",
                                      "Christian Rap",
                                      "Pop/Funk",
                                      "Jungle",
                                      "Native American",
                                      "Cabaret",
                                      "New Wave",
                                      "Psychadelic",
                                      "Rave",
                                      "Showtunes",
                                      "Trailer",
                                      "Lo-Fi",
                                      "Tribal",
                                      "Acid Punk",
                                      "Acid Jazz",
                                      "Polka",
                                      "Retro",
                                      "Musical",
                                      "Rock & Roll",
                                      "Hard Rock",
                                      "Folk",
                                      "Folk-Rock",
                                      "National Folk",
                                      "Swing",
                                      "Fast Fusion",
                                      "Bebob",
                                      "Latin",
                                      "Revival",
                                      "Celtic",
                                      "Bluegrass",
                                      "Avantgarde",
                                      "Gothic Rock",
                                      "Progressive Rock",
                                      "Psychedelic Rock",
                                      "Symphonic Rock",
                                      "Slow Rock",
                                      "Big Band",
                                      "Chorus",
                                      "Easy Listening",
                                      "Acoustic",
                                      "Humour",
                                      "Speech",
                                      "Chanson",
                                      "Opera",
                                      "Chamber Music",
                                      "Sonata",
                                      "Symphony",
                                      "Booty Bass",
                                      "Primus",
                                      "Porn Groove",
                                      "Satire",
                                      "Slow Jam",
                                      "Club",
                                      "Tango",
                                      "Samba",
                                      "Folklore",
                                      "Ballad",
                                      "Power Ballad",
                                      "Rhythmic Soul",
                                      "Freestyle",
                                      "Duet",
                                      "Punk Rock",
                                      "Drum Solo",
                                      "A capella",
                                      "Euro-House",
                                      "Dance Hall",
                                      "Goa",
                                      "Drum & Bass",
                                      "Club-House",
                                      "Hardcore",
                                      "Terror",
                                      "Indie",
                                      "BritPop",
                                      "Negerpunk",
                                      "Polsk Punk",
                                      "Beat",
                                      "Christian Gangsta Rap",
                                      "Heavy Metal",
                                      "Black Metal",
                                      "Crossover",
                                      "Contemporary Christian",
                                      "Christian Rock",
                                      "Merengue",
                                      "Salsa",
                                      "Thrash Metal",
                                      "Anime",
                                      "JPop",
                                      "Synthpop"};

std::string Field(const uint8_t* p, size_t n) {
  size_t len = 0;
  while (len < n && p[len] != 0)
    ++len;
  while (len > 0 && p[len - 1] == ' ')
    --len;
  return std::string(reinterpret_cast<const char*>(p), len);
}

// Windows-1252 0x80..0x9F; 0 marks the five unassigned bytes (kept as C1 code points).
constexpr char16_t kHighTable[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

const char* Id3v1GenreName(int genre) {
  return genre >= 0 && genre < 148 ? kGenres[genre] : nullptr;
}

Id3v1Tag ParseId3v1(const uint8_t* b, size_t length) {
  Id3v1Tag tag;
  if (b == nullptr || length < 128) return tag;
  b += length - 128;
  auto upper = [](uint8_t c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
  if (upper(b[0]) != 'T' || upper(b[1]) != 'A' || upper(b[2]) != 'G') return tag;
  tag.present = true;
  tag.title = Field(b + 3, 30);
  tag.artist = Field(b + 33, 30);
  tag.album = Field(b + 63, 30);
  tag.year = Field(b + 93, 4);
  tag.comment = Field(b + 97, 30);  // a v1.1 track number sits behind a zero byte
  if (b[125] == 0 && b[126] != 0) tag.track = b[126];
  tag.genre = b[127];
  const char* name = Id3v1GenreName(tag.genre);
  tag.genreName = name ? name : "";
  return tag;
}

std::u16string Windows1252ToUtf16(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    char16_t u = c;
    if (c >= 0x80 && c < 0xA0 && kHighTable[c - 0x80] != 0) u = kHighTable[c - 0x80];
    out.push_back(u);
  }
  return out;
}

}  // namespace vk2

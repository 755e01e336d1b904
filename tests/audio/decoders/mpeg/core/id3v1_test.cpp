// ID3v1 and v1.1 tags: fields, padding, genres, text encoding, and reading from a stream's end.
#include <gtest/gtest.h>

#include <cstring>

#include "audio/decoders/mpeg/core/frame_stream.h"
#include "audio/decoders/mpeg/core/id3v1_tag.h"
#include "tests/audio/decoders/mpeg/core/mpeg_test_support.h"

namespace vk2 {
namespace {

std::vector<uint8_t> Block(const char* marker, const char* title, const char* comment, int genre,
                           bool nulPadding = false, int track = 0) {
  std::vector<uint8_t> b(128, nulPadding ? 0 : ' ');
  std::memcpy(b.data(), marker, 3);
  std::memcpy(b.data() + 3, title, std::strlen(title));
  std::memcpy(b.data() + 33, "Artist", 6);
  std::memcpy(b.data() + 63, "Album", 5);
  std::memcpy(b.data() + 93, "1999", 4);
  std::memcpy(b.data() + 97, comment, std::strlen(comment));
  if (track) {
    b[125] = 0;
    b[126] = static_cast<uint8_t>(track);
  }
  b[127] = static_cast<uint8_t>(genre);
  return b;
}

struct TagCase {
  const char* name;
  std::vector<uint8_t> block;
  bool present;
  const char* title;
  const char* comment;
  const char* genre;
  int track;
};

TEST(Id3v1Test, FieldsPaddingAndGenres) {
  const TagCase cases[] = {
      {"blank padded", Block("TAG", "Title", "Nice", 17), true, "Title", "Nice", "Rock", 0},
      {"nul padded", Block("TAG", "Title", "Nice", 0, true), true, "Title", "Nice", "Blues", 0},
      {"lower case marker", Block("tag", "x", "", 147), true, "x", "", "Synthpop", 0},
      {"blank title", Block("TAG", "", "", 145), true, "", "", "Anime", 0},
      {"v1.1 track", Block("TAG", "T", "Comment", 146, false, 7), true, "T", "Comment", "JPop", 7},
      {"no genre", Block("TAG", "T", "", 255), true, "T", "", "", 0},
      {"unknown genre", Block("TAG", "T", "", 200), true, "T", "", "", 0},
      {"extended list", Block("TAG", "T", "", 127), true, "T", "", "Drum & Bass", 0},
      {"no marker", Block("XYZ", "T", "", 1), false, "", "", "", 0},
  };
  for (const TagCase& c : cases) {
    SCOPED_TRACE(c.name);
    Id3v1Tag tag = ParseId3v1(c.block.data(), c.block.size());
    EXPECT_EQ(tag.present, c.present);
    if (!c.present) continue;
    EXPECT_EQ(tag.title, c.title);
    EXPECT_EQ(tag.artist, "Artist");
    EXPECT_EQ(tag.album, "Album");
    EXPECT_EQ(tag.year, "1999");
    EXPECT_EQ(tag.comment, c.comment);
    EXPECT_EQ(tag.genreName, c.genre);
    EXPECT_EQ(tag.track, c.track);
  }
  std::vector<uint8_t> shortBlock(100, 'T');
  EXPECT_FALSE(ParseId3v1(shortBlock.data(), shortBlock.size()).present);
  EXPECT_EQ(std::string(Id3v1GenreName(78)), "Rock & Roll");
  EXPECT_EQ(Id3v1GenreName(148), nullptr);
}

TEST(Id3v1Test, TextIsReadAsWindows1252) {
  std::string text = "Caf\xE9 \x80 \x93x\x94 \x81";
  EXPECT_EQ(Windows1252ToUtf16(text), u"Caf\u00e9 \u20ac \u201cx\u201d \u0081");
}

TEST(Id3v1Test, ReadFromTheEndOfAnEncodedFile) {
  using namespace mpegtest;
  std::string file = Encode("tagged.mp3",
                            "lame --quiet -b 96 --id3v1-only --tt 'A Title' --ta 'Someone' "
                            "--tl 'The Album' --ty 2001 --tc 'A comment' --tn 5 --tg Jazz %in %out",
                            SignalWav(44100, 2, 0.5));
  ASSERT_FALSE(file.empty());
  std::vector<uint8_t> bytes = ReadFile(file);
  MemoryByteSource source(bytes);
  MpegFrameStream reader(source);
  uint8_t block[128];
  ASSERT_EQ(reader.ReadAt(-128, SeekOrigin::kEnd, block, sizeof block), 128);
  EXPECT_EQ(reader.Position(), 0);  // reading at the end does not move the stream
  Id3v1Tag tag = ParseId3v1(block, sizeof block);
  ASSERT_TRUE(tag.present);
  EXPECT_EQ(tag.title, "A Title");
  EXPECT_EQ(tag.artist, "Someone");
  EXPECT_EQ(tag.album, "The Album");
  EXPECT_EQ(tag.year, "2001");
  EXPECT_EQ(tag.comment, "A comment");
  EXPECT_EQ(tag.track, 5);
  EXPECT_EQ(tag.genreName, "Jazz");
  // A live stream has no end to read from.
  source.SetSeekable(false);
  EXPECT_EQ(reader.ReadAt(-128, SeekOrigin::kEnd, block, sizeof block), -1);
}

}  // namespace
}  // namespace vk2

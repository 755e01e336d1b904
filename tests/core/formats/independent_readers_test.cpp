// Playlists our writers produce, read by readers that are not ours: Python's configparser for
// PLS and xmllint for XPL. Text that needs care (non-ASCII, markup characters, '%', '=',
// quotes, line breaks, leading blanks) has to arrive as written.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "core/formats/playlist_io.h"
#include "core/formats/pls.h"
#include "core/formats/xpl.h"
#include "documents.h"
#include "format_support.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2::test {
namespace {

// Prints every entry of the PLS file at argv[1] as configparser reads it: file, title, author
// and length, one per line ("-" for a missing key), after the declared count.
constexpr char kConfigParserDump[] = R"(
import configparser, sys
parser = configparser.ConfigParser(interpolation=None)
parser.read(sys.argv[1], encoding='utf-8')
s = parser['playlist']
lines = [s['numberofentries'], s.get('cachedinfo', '-'), s.get('version', '-')]
for i in range(1, int(s['numberofentries']) + 1):
    for key in ('file', 'title', 'author', 'length'):
        lines.append(s.get('%s%d' % (key, i), '-'))
sys.stdout.buffer.write(('\n'.join(lines) + '\n').encode('utf-8'))
)";

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

ItemInfoArray AwkwardItems(const std::string& folder) {
  ItemInfoArray items;
  ItemInfo a = Item(("file://" + folder + "/Caf\xc3\xa9 & <Co>.mp3").c_str());
  a.SetTitle(u"100% \"pure\" = caf\u00e9 <b>&amp;</b>");
  a.SetAuthor(u"  ; not a comment");
  a.SetDuration(61.6f, kDurationEstimate);
  items.Append(a);
  ItemInfo b = Item("http://127.0.0.1:8000/stream?a=1&b=2");
  b.SetTitle(u"two\nlines");
  items.Append(b);
  ItemInfo c = Item(("file://" + folder + "/sub/#hash [x].ogg").c_str());
  c.SetAuthor(u"\u65e5\u672c\u8a9e");
  items.Append(c);
  return items;
}

TEST(IndependentReaders, ConfigParserReadsOurPls) {
  ASSERT_TRUE(HaveTool("python3"));
  TempFolder dir;
  const std::string list = dir / "list.pls";
  const ItemInfoArray items = AwkwardItems(dir.Path());
  struct Case {
    bool relative;
    std::string first, third;
  };
  const Case cases[] = {
      {false, dir.Path() + "/Caf\xc3\xa9 & <Co>.mp3", dir.Path() + "/sub/#hash [x].ogg"},
      {true, "Caf\xc3\xa9 & <Co>.mp3", "sub/#hash [x].ogg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.relative);
    ASSERT_EQ(SavePlaylistFile(Utf16(list),
                               [&](FileStream* s) {
                                 return WritePls(s, items, true, c.relative, RuntimeDocuments());
                               }),
              3);
    const std::string dump = dir / "dump.txt";
    ASSERT_EQ(test::Run({"python3", "-c", kConfigParserDump, list}, dump), 0);
    // configparser trims the blanks around a value, as our reader does.
    EXPECT_EQ(ReadText(dump), "3\n1\n2\n" + c.first +
                                  "\n100% \"pure\" = caf\xc3\xa9 <b>&amp;</b>\n; not a "
                                  "comment\n62\n"
                                  "http://127.0.0.1:8000/stream?a=1&b=2\ntwo lines\n-\n-\n" +
                                  c.third + "\n-\n\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\n-\n");
  }
}

TEST(IndependentReaders, XmllintReadsOurXpl) {
  ASSERT_TRUE(HaveTool("xmllint"));
  TempFolder dir;
  const std::string list = dir / "list.xpl";
  const ItemInfoArray items = AwkwardItems(dir.Path());
  ASSERT_EQ(
      SavePlaylistFile(Utf16(list),
                       [&](FileStream* s) { return WriteXpl(s, items, true, RuntimeDocuments()); }),
      3);
  ASSERT_EQ(test::Run({"xmllint", "--noout", list}), 0) << ReadText(list);
  struct Case {
    const char* path;
    std::string value;
  };
  const Case cases[] = {
      {"string(/processing-instruction('xpl'))", "version=1.0"},
      {"count(/xpl/Entry)", "3"},
      {"string(/xpl/Entry[1]/URL)", "file://Caf\xc3\xa9 & <Co>.mp3"},
      {"string(/xpl/Entry[1]/Title)", "100% \"pure\" = caf\xc3\xa9 <b>&amp;</b>"},
      {"string(/xpl/Entry[1]/Author)", "  ; not a comment"},
      {"string(/xpl/Entry[1]/Duration_Type)", "Estimate"},
      {"string(/xpl/Entry[2]/URL)", "http://127.0.0.1:8000/stream?a=1&b=2"},
      {"string(/xpl/Entry[2]/Title)", "two\nlines"},
      {"string(/xpl/Entry[3]/URL)", "file://sub/#hash [x].ogg"},
      {"string(/xpl/Entry[3]/Author)", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"},
  };
  for (const Case& c : cases) {
    const std::string out = dir / "value.txt";
    ASSERT_EQ(test::Run({"xmllint", "--xpath", c.path, list}, out), 0) << c.path;
    EXPECT_EQ(ReadText(out), c.value + "\n")
        << c.path;  // xmllint ends its answer with a line break
  }
}

}  // namespace
}  // namespace vk2::test

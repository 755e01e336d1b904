// Reading and writing M3U, PLS and XPL playlists of 10,000 and 100,000 entries, from and into
// memory, side by side with Python's standard readers and writers of the same text (plain line
// handling for M3U, configparser for PLS, ElementTree for XPL), run in the same benchmark as a
// subprocess that times its own parsing or writing. Each benchmark's time is ours;
// "python_ms" is the reference's time and "ratio" ours over it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>

#include "bench/playlist_items.h"
#include "core/files/file_stream.h"
#include "core/formats/m3u.h"
#include "core/formats/pls.h"
#include "core/formats/xpl.h"
#include "tests/core/formats/documents.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2::bench {
namespace {

using Clock = std::chrono::steady_clock;

// Reads the playlist at argv[2] as format argv[1], then writes the entries back in that format,
// each three times; prints the best read and write times in milliseconds.
constexpr char kPythonReference[] = R"(
import configparser, io, sys, time
import xml.etree.ElementTree as ET

def read_m3u(data):
    items, info = [], None
    for line in data.decode('utf-8').splitlines():
        if line.startswith('#EXTINF:'):
            seconds, _, title = line[8:].partition(',')
            info = (int(seconds), title)
        elif line and not line.startswith('#'):
            items.append((line, info[1] if info else None, info[0] if info else None, None))
            info = None
    return items

def read_pls(data):
    parser = configparser.RawConfigParser(strict=False)
    parser.read_string(data.decode('utf-8'))
    s = parser['playlist']
    return [(s.get('file%d' % i), s.get('title%d' % i), s.get('length%d' % i),
             s.get('author%d' % i)) for i in range(1, int(s['numberofentries']) + 1)]

def read_xpl(data):
    root = ET.fromstring(data)
    return [(e.findtext('URL'), e.findtext('Title'), e.findtext('Duration'),
             e.findtext('Author')) for e in root.iter('Entry')]

def write_m3u(items):
    out = io.StringIO()
    out.write('#EXTM3U\n')
    for url, title, length, _ in items:
        out.write('#EXTINF:%s,%s\n%s\n' % (length, title, url))
    return out.getvalue().encode('utf-8')

def write_pls(items):
    parser = configparser.RawConfigParser()
    parser.optionxform = str
    parser.add_section('playlist')
    s = parser['playlist']
    s['NumberOfEntries'] = str(len(items))
    for i, (url, title, length, author) in enumerate(items, 1):
        s['File%d' % i] = url
        s['Title%d' % i] = title or ''
        s['Author%d' % i] = author or ''
        s['Length%d' % i] = str(length)
    out = io.StringIO()
    parser.write(out, space_around_delimiters=False)
    return out.getvalue().encode('utf-8')

def write_xpl(items):
    root = ET.Element('xpl')
    for url, title, length, author in items:
        entry = ET.SubElement(root, 'Entry')
        ET.SubElement(entry, 'URL').text = url
        ET.SubElement(entry, 'Title').text = title
        ET.SubElement(entry, 'Author').text = author
        ET.SubElement(entry, 'Duration').text = str(length)
    return b'<?xml version="1.0" encoding="UTF-8"?>\n<?xpl version=1.0?>\n' + \
        ET.tostring(root, encoding='utf-8')

def best(run):
    times = []
    for _ in range(3):
        t0 = time.perf_counter()
        result = run()
        times.append(time.perf_counter() - t0)
    return min(times) * 1000, result

fmt, path = sys.argv[1], sys.argv[2]
data = open(path, 'rb').read()
read_ms, items = best(lambda: globals()['read_' + fmt](data))
write_ms, _ = best(lambda: globals()['write_' + fmt](items))
print(read_ms, write_ms, len(items))
)";

enum class Format { kM3u, kPls, kXpl };

const char* Name(Format f) {
  return f == Format::kM3u ? "m3u" : f == Format::kPls ? "pls" : "xpl";
}

// The folder every playlist lies in; entries are written with absolute paths.
constexpr char kListPath[] = "/music/list";

int32_t Write(Format f, const ItemInfoArray& items, FileStream* stream) {
  switch (f) {
    case Format::kM3u:
      return WriteM3u(stream, items, true, false);
    case Format::kPls:
      return WritePls(stream, items, true, false, test::RuntimeDocuments());
    case Format::kXpl:
      return WriteXpl(stream, items, false, test::RuntimeDocuments());
  }
  return -1;
}

int32_t Read(Format f, FileStream* stream, ItemInfoArray* items) {
  switch (f) {
    case Format::kM3u:
      return ReadM3u(stream, items);
    case Format::kPls:
      return ReadPls(stream, items, test::RuntimeDocuments());
    case Format::kXpl:
      return ReadXpl(stream, items, test::RuntimeDocuments());
  }
  return -1;
}

// Our writer's text for n entries.
std::string Text(Format f, uint32_t n) {
  static std::map<std::pair<Format, uint32_t>, std::string> texts;
  auto [it, fresh] = texts.try_emplace({f, n});
  if (fresh) {
    FileStream stream;
    stream.OpenBuffer(Utf16(kListPath));
    Write(f, MakeItems(n), &stream);
    it->second.assign(stream.Buffer().begin(), stream.Buffer().end());
  }
  return it->second;
}

struct PythonTimes {
  double readMs = 0;
  double writeMs = 0;
  uint32_t entries = 0;
};

// The reference's times over our writer's text, measured once per format and size.
PythonTimes Python(Format f, uint32_t n) {
  static std::map<std::pair<Format, uint32_t>, PythonTimes> measured;
  auto [it, fresh] = measured.try_emplace({f, n});
  if (fresh) {
    test::TempFolder folder;
    const std::string list = folder / (std::string("list.") + Name(f));
    std::ofstream(list, std::ios::binary) << Text(f, n);
    const std::string output = folder / "times.txt";
    if (test::Run({"python3", "-c", kPythonReference, Name(f), list}, output) == 0) {
      std::ifstream(output) >> it->second.readMs >> it->second.writeMs >> it->second.entries;
    }
  }
  return it->second;
}

void Report(benchmark::State& state, Format f, double oursMs, bool reading) {
  const PythonTimes python = Python(f, static_cast<uint32_t>(state.range(0)));
  const double reference = reading ? python.readMs : python.writeMs;
  state.counters["python_ms"] = reference;
  state.counters["python_entries"] = python.entries;
  state.counters["ratio"] = reference > 0 ? oursMs / reference : 0;
}

// Each benchmark reads or writes once untimed first: the first touch of fresh memory (page
// faults, which are slow on a virtual machine) would otherwise land in the one or two
// iterations of the largest size.
void ReadList(benchmark::State& state, Format f) {
  const auto n = static_cast<uint32_t>(state.range(0));
  std::string text = Text(f, n);
  auto open = [&](FileStream* stream) {
    stream->OpenMemory(reinterpret_cast<uint8_t*>(text.data()), text.size(), true, nullptr, nullptr,
                       Utf16(kListPath));
  };
  {
    FileStream stream;
    open(&stream);
    ItemInfoArray items;
    Read(f, &stream, &items);
  }
  double totalMs = 0;
  for (auto _ : state) {
    FileStream stream;
    open(&stream);
    ItemInfoArray items;
    const auto t0 = Clock::now();
    const int32_t read = Read(f, &stream, &items);
    const auto t1 = Clock::now();
    if (read != static_cast<int32_t>(n)) state.SkipWithError("not every entry was read");
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    totalMs += std::chrono::duration<double, std::milli>(t1 - t0).count();
  }
  Report(state, f, totalMs / static_cast<double>(state.iterations()), true);
}

void WriteList(benchmark::State& state, Format f) {
  const auto n = static_cast<uint32_t>(state.range(0));
  const ItemInfoArray items = MakeItems(n);
  {
    FileStream stream;
    stream.OpenBuffer(Utf16(kListPath));
    Write(f, items, &stream);
  }
  double totalMs = 0;
  for (auto _ : state) {
    FileStream stream;
    stream.OpenBuffer(Utf16(kListPath));
    const auto t0 = Clock::now();
    const int32_t written = Write(f, items, &stream);
    const auto t1 = Clock::now();
    if (written != static_cast<int32_t>(n)) state.SkipWithError("not every entry was written");
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    totalMs += std::chrono::duration<double, std::milli>(t1 - t0).count();
  }
  Report(state, f, totalMs / static_cast<double>(state.iterations()), false);
}

#define VK2_FILE_BENCHMARK(fn, format)             \
  BENCHMARK_CAPTURE(fn, format, Format::k##format) \
      ->Arg(10000)                                 \
      ->Arg(100000)                                \
      ->UseManualTime()                            \
      ->Unit(benchmark::kMillisecond)

VK2_FILE_BENCHMARK(ReadList, M3u);
VK2_FILE_BENCHMARK(WriteList, M3u);
VK2_FILE_BENCHMARK(ReadList, Pls);
VK2_FILE_BENCHMARK(WriteList, Pls);
VK2_FILE_BENCHMARK(ReadList, Xpl);
VK2_FILE_BENCHMARK(WriteList, Xpl);

}  // namespace
}  // namespace vk2::bench

// Attribute values: every parser reads arbitrary text against a small tree of named points,
// rectangles and colours (some naming each other in a circle) without crashing, and never
// consumes more than it was given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "markup/parse/identifiers.h"
#include "markup/parse/value_parsers.h"
#include "markup/report/error_sink.h"
#include "markup/services/markup_services.h"
#include "oru/services/xml/xml_document.h"

namespace {

using namespace vk2;
using namespace vk2::markup;

constexpr char kTree[] =
    "<interface><point name=\"p\">q @ 1,1</point><point name=\"q\">p</point>"
    "<rect name=\"r\">1,2,3,4</rect><color name=\"c\">d:rg + #10</color>"
    "<color name=\"d\">c</color><window><probe/></window></interface>";

Element Probe() {
  static Element probe = [] {
    MarkupServices quiet;
    quiet.makeXmlDocument = [] { return RefPtr<MXmlDocument>(new oru::XmlDocumentObject()); };
    InstallMarkupServices(quiet);
    RefPtr<MXmlDocument> document = MakeXmlDocument();
    if (document->Load(kTree, sizeof kTree - 1, 0) != 0) std::abort();
    MXmlNode* root = nullptr;
    document->Root(&root);
    Element top(RefPtr<MXmlNode>::Adopt(root));
    return top.Child(u"interface", 0).Child(u"window", 0).Child(u"probe", 0);
  }();
  return probe;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::u16string text;
  for (size_t i = 1; i < size; ++i)
    text.push_back(static_cast<char16_t>(data[i]));
  Element probe = Probe();
  ErrorSinkScope sink;
  const int32_t limit = static_cast<int32_t>(text.size());
  switch (data[0] % 6) {
    case 0: {
      PointD p;
      if (ParsePointOrSize(data[0] & 8, text, &probe, &p, true, nullptr, nullptr) > limit)
        std::abort();
      break;
    }
    case 1: {
      RectD r, fractions{0, 0.5, 1, 1};
      if (ParseRect(text, &probe, &r, true, nullptr, nullptr,
                    (data[0] & 8) ? &fractions : nullptr) > limit)
        std::abort();
      break;
    }
    case 2: {
      uint32_t c = 0;
      if (ParseColor(text, &c, &probe, nullptr) > limit) std::abort();
      break;
    }
    case 3: {
      uint64_t code = 0;
      ParseBlitMode(text, &code, &probe, true, kBlitCopyAllChannels, nullptr, nullptr);
      break;
    }
    case 4: {
      uint64_t code = 0;
      ParseKeywordList(text, &code, Keywords(static_cast<KeywordGroup>(data[0] / 6 % 20)));
      break;
    }
    default: {
      Guid g;
      ParseGuidString(text, &g);
      break;
    }
  }
  return 0;
}

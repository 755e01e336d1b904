#include "tests/markup/support/markup_fixture.h"

#include <memory>
#include <mutex>
#include <new>

#include "oru/graphics/images/image_service.h"
#include "oru/graphics/images/psd_cache.h"
#include "oru/graphics/images/thread_image_service.h"
#include "oru/services/xml/xml_document.h"

namespace vk2::test {
namespace {

std::mutex gConsoleMutex;
std::string gConsole;

RefPtr<MXmlDocument> MakeDocument() {
  return RefPtr<MXmlDocument>(new oru::XmlDocumentObject());
}

RefPtr<MThreadImageService> MakeImages() {
  static auto cache = std::make_shared<oru::PsdCache>();
  return RefPtr<MThreadImageService>(new oru::ThreadImageServiceObject(cache));
}

RefPtr<MImageStyleService> MakeStyles() {
  // The runtime owns its one image service; here the test program does, for its whole run.
  static oru::ImageServiceObject service(nullptr);
  return RefPtr<MImageStyleService>(static_cast<MImageStyleService*>(&service));
}

void Capture(int32_t, const TString& text) {
  std::lock_guard lock(gConsoleMutex);
  gConsole += Narrow(text);
}

TString NoErrorText(int32_t) {
  return TString();
}

}  // namespace

InProcessMarkup::InProcessMarkup() {
  markup::MarkupServices services;
  services.makeXmlDocument = &MakeDocument;
  services.imageService = &MakeImages;
  services.imageStyleService = &MakeStyles;
  services.errorText = &NoErrorText;
  services.writeConsole = &Capture;
  saved_ = markup::InstallMarkupServices(services);
  TakeConsole();
}

InProcessMarkup::~InProcessMarkup() {
  markup::InstallMarkupServices(saved_);
}

std::string InProcessMarkup::TakeConsole() {
  std::lock_guard lock(gConsoleMutex);
  return std::exchange(gConsole, std::string());
}

markup::Element LoadElement(const std::string& text) {
  RefPtr<MXmlDocument> document = MakeDocument();
  if (document->Load(text.data(), text.size(), 0) != 0) return markup::Element();
  MXmlNode* root = nullptr;
  document->Root(&root);
  MXmlNode* top = nullptr;
  root->GetChild(nullptr, 0, kXmlElement, &top);
  root->Release();
  return top ? markup::Element(RefPtr<MXmlNode>::Adopt(top)) : markup::Element();
}

markup::Element FindTag(const markup::Element& root, const char16_t* tag) {
  if (root.Tag() == tag) return root;
  for (markup::Element child : root.Children(nullptr)) {
    if (markup::Element found = FindTag(child, tag)) return found;
  }
  return markup::Element();
}

}  // namespace vk2::test

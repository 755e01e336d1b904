#include "tests/markup/styles/font_services.h"

#include <memory>

#include "oru/graphics/fonts/font_library.h"
#include "oru/graphics/images/image_service.h"

namespace vk2::test {
namespace {

RefPtr<MImageStyleService> ServiceWithFonts() {
  static oru::ImageServiceObject service(std::make_shared<oru::FontLibrary>());
  return RefPtr<MImageStyleService>(static_cast<MImageStyleService*>(&service));
}

}  // namespace

WithFonts::WithFonts() {
  markup::MarkupServices services = markup::CurrentMarkupServices();
  services.imageStyleService = &ServiceWithFonts;
  saved_ = markup::InstallMarkupServices(services);
}

WithFonts::~WithFonts() {
  markup::InstallMarkupServices(saved_);
}

}  // namespace vk2::test

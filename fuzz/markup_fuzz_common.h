#pragma once
// Shared by the markup fuzz targets that draw: the services the markup engine needs to read
// a document and its images, and the walk over the interfaces a fuzzed index.mml defines, each
// handed to the target with a small canvas to draw on.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "markup/definition/interface_definition.h"
#include "markup/definition/interface_loader.h"
#include "markup/package/memory_package.h"
#include "markup/services/markup_services.h"
#include "oru/graphics/canvas/canvas_object.h"
#include "oru/graphics/canvas/surface_object.h"
#include "oru/graphics/images/psd_cache.h"
#include "oru/graphics/images/thread_image_service.h"
#include "oru/services/xml/xml_document.h"

namespace vk2::markupfuzz {

// XML documents and a threaded image service over one shared cache; a target adds the rest.
inline markup::MarkupServices DocumentServices() {
  markup::MarkupServices services;
  services.makeXmlDocument = [] { return RefPtr<MXmlDocument>(new oru::XmlDocumentObject()); };
  services.imageService = [] {
    static auto cache = std::make_shared<oru::PsdCache>();
    return RefPtr<MThreadImageService>(new oru::ThreadImageServiceObject(cache));
  };
  return services;
}

// Loads `members` as a package whose "index.mml" is `data`, and calls `exercise(iface, canvas)`
// for every interface it defines, with a `side` x `side` canvas. Input the loader refuses ends
// the walk before any call.
template <class Exercise>
void ForEachInterface(const uint8_t* data, size_t size, std::map<std::string, std::string> members,
                      int32_t side, Exercise exercise) {
  members["index.mml"] = std::string(reinterpret_cast<const char*>(data), size);
  auto package = markup::MemoryPackage::Make(std::move(members));
  auto loader = markup::InterfaceLoader::Make();
  LoadContext context;
  context.language = u"english";
  TString error;
  if (loader->LoadFromPackage(package.Get(), "index.mml", &context, &error, nullptr) != 0) return;
  RefPtr<MSurface> surface;
  RefPtr<MCanvas> canvas;
  if (gfx::CreateSurface(side, side, PixelFormat::kArgb32, &surface) != 0 ||
      gfx::CreateCanvas(surface.Get(), &canvas) != 0)
    return;
  for (int32_t i = 0; i < loader->Count(); ++i) {
    MInterfaceDefinition* found = nullptr;
    if (loader->GetByIndex(i, &found) != 0) continue;
    auto held = RefPtr<MInterfaceDefinition>::Adopt(found);
    // The loader hands out its own definitions.
    exercise(static_cast<markup::InterfaceDefinition*>(held.Get()), canvas.Get());
  }
  loader->Clear();
}

}  // namespace vk2::markupfuzz

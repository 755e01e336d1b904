#include "markup/services/markup_services.h"

#include <mutex>

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "interfaces/gui/app.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/console.h"
#include "interfaces/runtime/error_registry.h"

namespace vk2::markup {
namespace {

std::mutex gMutex;
MarkupServices gServices = RuntimeMarkupServices();

RefPtr<MXmlDocument> RuntimeXml() {
  return CreateRuntimeObject<MXmlDocument>(kServiceClass, kIID_MXmlDocument);
}

RefPtr<MThreadImageService> RuntimeImages() {
  return CreateRuntimeObject<MThreadImageService>(kImageServiceClass, kIID_MThreadImageService);
}

RefPtr<MImageStyleService> RuntimeImageStyles() {
  return CreateRuntimeObject<MImageStyleService>(kImageServiceClass, kIID_MImageStyleService);
}

TString RuntimeErrorText(int32_t code) {
  auto registry = CreateRuntimeObject<MErrorRegistry>(kServiceClass, kIID_MErrorRegistry);
  if (!registry) return TString();
  const ErrorRecord* record = registry->GetRecord(code, 0);
  return record && record->message ? FromNarrowText(record->message) : TString();
}

void RuntimeConsole(int32_t level, const TString& text) {
  auto console = CreateRuntimeObject<MConsole>(kServiceClass, kIID_MConsole);
  if (console) console->Write(level, text.c_str(), 1);
}

int32_t RuntimeHost(MHostWindow** out) {
  auto app = CreateRuntimeObject<MOmbrixApp>(kBrintClass, kIID_MOmbrixApp);
  if (!app) return kErrNotFound;
  return app->CreateHost(out);
}

}  // namespace

MarkupServices RuntimeMarkupServices() {
  MarkupServices services;
  services.makeXmlDocument = &RuntimeXml;
  services.imageService = &RuntimeImages;
  services.imageStyleService = &RuntimeImageStyles;
  services.errorText = &RuntimeErrorText;
  services.writeConsole = &RuntimeConsole;
  services.createInstance = &RuntimeCreateInstance;
  services.createHost = &RuntimeHost;
  // The runtime serves no canvas over a caller's surface yet: state styles then draw straight
  // onto the window's canvas.
  services.makeCanvas = nullptr;
  return services;
}

MarkupServices InstallMarkupServices(const MarkupServices& services) {
  std::lock_guard lock(gMutex);
  MarkupServices before = gServices;
  gServices = services;
  return before;
}

const MarkupServices& CurrentMarkupServices() {
  std::lock_guard lock(gMutex);
  return gServices;
}

RefPtr<MXmlDocument> MakeXmlDocument() {
  auto make = CurrentMarkupServices().makeXmlDocument;
  return make ? make() : nullptr;
}

RefPtr<MThreadImageService> ImageService() {
  auto make = CurrentMarkupServices().imageService;
  return make ? make() : nullptr;
}

RefPtr<MImageStyleService> ImageStyleService() {
  auto make = CurrentMarkupServices().imageStyleService;
  return make ? make() : nullptr;
}

TString ErrorText(int32_t code) {
  auto text = CurrentMarkupServices().errorText;
  return text ? text(code) : TString();
}

void WriteConsole(int32_t level, const TString& text) {
  auto write = CurrentMarkupServices().writeConsole;
  if (write) write(level, text);
}

}  // namespace vk2::markup

namespace vk2::markup {

int32_t CreateInstance(const Guid& classId, const Guid& iid, void** out, MUnknown* outer) {
  if (out) *out = nullptr;
  auto create = CurrentMarkupServices().createInstance;
  return create ? create(classId, iid, out, outer) : kErrNotFound;
}

RefPtr<MHostWindow> CreateHost() {
  auto create = CurrentMarkupServices().createHost;
  MHostWindow* host = nullptr;
  if (!create || create(&host) != 0) return nullptr;
  return RefPtr<MHostWindow>::Adopt(host);
}

RefPtr<MCanvas> MakeCanvas(const SurfaceView& target) {
  auto make = CurrentMarkupServices().makeCanvas;
  MCanvas* canvas = nullptr;
  if (!make || make(target, &canvas) != 0) return nullptr;
  return RefPtr<MCanvas>::Adopt(canvas);
}

}  // namespace vk2::markup

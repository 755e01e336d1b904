// What the markup engine takes from the runtime: XML documents, the console, error texts and the
// image services. Inside the module they come from the bound runtime; a test or fuzz program
// installs in-process ones.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/canvas.h"
#include "interfaces/graphics/image.h"
#include "interfaces/gui/host_window.h"
#include "interfaces/runtime/xml_document.h"

namespace vk2::markup {

inline constexpr int32_t kConsoleError = 7;

struct MarkupServices {
  RefPtr<MXmlDocument> (*makeXmlDocument)() = nullptr;
  RefPtr<MThreadImageService> (*imageService)() = nullptr;
  RefPtr<MImageStyleService> (*imageStyleService)() = nullptr;
  // The error service's message for a result code; empty when it has none.
  TString (*errorText)(int32_t code) = nullptr;
  void (*writeConsole)(int32_t level, const TString& text) = nullptr;
  // The runtime's MCreateInstance: base objects, GUI parts, dock points, dialog providers.
  int32_t (*createInstance)(const Guid& classId, const Guid& iid, void** out,
                            MUnknown* outer) = nullptr;
  // A new top-level host window (GUI loop thread).
  int32_t (*createHost)(MHostWindow** out) = nullptr;
  // A canvas drawing on `target`; composing state styles draws into scratch surfaces with it.
  int32_t (*makeCanvas)(const SurfaceView& target, MCanvas** out) = nullptr;
};

// The runtime-backed services.
MarkupServices RuntimeMarkupServices();
// Replaces the services; returns the ones installed before.
MarkupServices InstallMarkupServices(const MarkupServices& services);
const MarkupServices& CurrentMarkupServices();

// Shorthands that degrade when a service is missing (null objects, empty text, no output).
RefPtr<MXmlDocument> MakeXmlDocument();
RefPtr<MThreadImageService> ImageService();
RefPtr<MImageStyleService> ImageStyleService();
TString ErrorText(int32_t code);
void WriteConsole(int32_t level, const TString& text);
int32_t CreateInstance(const Guid& classId, const Guid& iid, void** out, MUnknown* outer = nullptr);
RefPtr<MHostWindow> CreateHost();
RefPtr<MCanvas> MakeCanvas(const SurfaceView& target);

template <class T>
RefPtr<T> CreateObject(const Guid& classId, const Guid& iid, MUnknown* outer = nullptr) {
  void* p = nullptr;
  if (CreateInstance(classId, iid, &p, outer) != 0 || !p) return nullptr;
  return RefPtr<T>::Adopt(static_cast<T*>(p));
}

}  // namespace vk2::markup

#include "markup/definition/style_readers.h"

#include <mutex>

#include "markup/styles/window_styles.h"

namespace vk2::markup {
namespace {

std::mutex gMutex;
StyleReaders gReaders{&ReadWindowImageStyle, &ReadWindowShape};

StyleReaders Current() {
  std::lock_guard lock(gMutex);
  return gReaders;
}

}  // namespace

StyleReaders InstallStyleReaders(const StyleReaders& readers) {
  std::lock_guard lock(gMutex);
  StyleReaders before = gReaders;
  gReaders = readers;
  return before;
}

RefPtr<MImageStyleDrawing> ReadImageStyleDrawing(const Element& element,
                                                 InterfaceDefinition* owner) {
  auto read = Current().imageStyle;
  return read && element ? read(element, owner) : nullptr;
}

RefPtr<MShapeDrawing> ReadShapeDrawing(const Element& element, InterfaceDefinition* owner) {
  auto read = Current().shape;
  return read && element ? read(element, owner) : nullptr;
}

}  // namespace vk2::markup

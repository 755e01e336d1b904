#include "gui/interface_window/interface_window.h"

#include "component/object/query.h"
#include "gui/interface_window/file_drop.h"
#include "gui/script_base/listener_list.h"
#include "interfaces/runtime/base_object.h"

namespace vk2::gui {

void InterfaceWindow::Setup() {
  if (displayFont_) {
    PropertyValue font;
    font.type = kPropertyInterface;
    font.object = static_cast<MUnknown*>(displayFont_.Get());
    SetProperty(u"font", kPropertyInterface, &font);
  }
  auto* base = QueryBorrowed<MBaseObject>(Outer(), kIID_MBaseObject);
  if (!base) return;
  auto* list = new ListenerList(Outer(), true);
  // The base object's part list holds it; a refused part goes with its only reference.
  list->Inner()->AddRef();
  base->AddPart(list->Inner());
  list->Inner()->Release();
}

int32_t InterfaceWindow::OnNotify(uint32_t code, uintptr_t argument) {
  if (code == kNotifyFileDrop && argument) {
    QueueDroppedFiles(guiMain_.Get(), reinterpret_cast<const FileDropRecord*>(argument));
  }
  return ModuleWindowCore::OnNotify(code, argument);
}

}  // namespace vk2::gui

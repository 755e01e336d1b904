#include "tests/markup/controls/control_input.h"

#include "oru/gui/backend/headless_backend.h"

namespace vk2::test {

void ControlFixture::Open(const std::string& children, int32_t width, int32_t height,
                          const std::string& mainBody, const std::string& prelude) {
  ControlTest::Open(prelude + "<window name=\"main\" offset=\"0,0," + std::to_string(width) + "," +
                    std::to_string(height) + "\">" + mainBody + children + "</window>");
}

void ControlFixture::Wheel(int32_t x, int32_t y, int32_t steps) {
  backend_->MoveTo(HostId(), x, y);
  gui::BackendEvent event;
  event.type = gui::BackendEvent::Type::kWheel;
  event.window = HostId();
  event.x = x;
  event.y = y;
  event.wheel = steps;
  backend_->Inject(event);
  Turn();
}

void ControlFixture::Key(int32_t key, uint32_t modifiers) {
  backend_->Key(HostId(), key, modifiers);
  Turn();
}

void ControlFixture::Type(const std::u16string& text) {
  backend_->Text(HostId(), text);
  Turn();
}

}  // namespace vk2::test

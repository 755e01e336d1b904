// velkora2-ctl: talks to a running instance the way other programs do.
//   velkora2-ctl dde <service> <topic> <text>   a DDE execute request; prints the result word
//   velkora2-ctl msg <number> [wParam lParam]    a window message; prints the result
//   velkora2-ctl copydata <text>                 a command line, as a later start hands it over
// Numbers are decimal or 0x-hexadecimal. Exit status: 0 answered, 1 no instance or no answer,
// 2 usage.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "launcher/launcher_window.h"
#include "platform/instance/dde_service.h"
#include "platform/instance/message_window.h"

namespace {

constexpr uint32_t kAnswerMs = 30'000;

template <class T>
std::optional<T> ParseNumber(std::string_view text) {
  int base = 10;
  bool negative = false;
  if (!text.empty() && text[0] == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  unsigned long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
  return static_cast<T>(negative ? 0 - value : value);
}

int Usage() {
  std::fputs(
      "usage: velkora2-ctl dde <service> <topic> <text>\n"
      "       velkora2-ctl msg <number> [wParam lParam]\n"
      "       velkora2-ctl copydata <text>\n",
      stderr);
  return 2;
}

int Report(const std::optional<int64_t>& answer) {
  if (!answer) {
    std::fputs("velkora2-ctl: no answer\n", stderr);
    return 1;
  }
  std::printf("%lld\n", static_cast<long long>(*answer));
  return 0;
}

int SendToWindow(uint32_t message, uint64_t wParam, int64_t lParam, std::string_view data) {
  auto window =
      vk2::instance::WindowLink::Find(vk2::launcher::kWindowClass, vk2::launcher::kWindowTitle);
  if (!window) {
    std::fputs("velkora2-ctl: no running instance\n", stderr);
    return 1;
  }
  return Report(window->Send(message, wParam, lParam, data, kAnswerMs));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string_view command = argv[1];
  if (command == "dde" && argc == 5) {
    auto conversation = vk2::instance::DdeConversation::Connect(argv[2], argv[3], kAnswerMs);
    if (!conversation) {
      std::fprintf(stderr, "velkora2-ctl: no DDE service \"%s\" answers\n", argv[2]);
      return 1;
    }
    // DDE execute data is a NUL-terminated string.
    std::string data(argv[4]);
    data.push_back('\0');
    return Report(conversation->Execute(data, kAnswerMs));
  }
  if (command == "msg" && (argc == 3 || argc == 5)) {
    const auto message = ParseNumber<uint32_t>(argv[2]);
    const auto wParam = argc == 5 ? ParseNumber<uint64_t>(argv[3]) : std::optional<uint64_t>(0);
    const auto lParam = argc == 5 ? ParseNumber<int64_t>(argv[4]) : std::optional<int64_t>(0);
    if (!message || !wParam || !lParam) return Usage();
    return SendToWindow(*message, *wParam, *lParam, {});
  }
  if (command == "copydata" && argc == 3) {
    std::string data(argv[2]);
    data.push_back('\0');
    return SendToWindow(vk2::instance::kWmCopyData, 0, 0, data);
  }
  return Usage();
}

// A PulseAudio null sink of one test's own, so that the end-to-end sound tests run side by
// side: each plays into its own sink and records its own sink's monitor. While it lives,
// streams this process opens on the default device go to it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vk2::test {

class PrivateNullSink {
 public:
  explicit PrivateNullSink(uint32_t rate = 48000);
  ~PrivateNullSink();
  PrivateNullSink(const PrivateNullSink&) = delete;
  PrivateNullSink& operator=(const PrivateNullSink&) = delete;

  bool Loaded() const { return module_ >= 0; }
  // Why loading failed, for the test's assertion.
  const std::string& Error() const { return error_; }
  // The sink's name; its monitor is Name() + ".monitor".
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
  std::string error_;
  long module_ = -1;
  std::optional<std::string> previousDefault_;
};

}  // namespace vk2::test

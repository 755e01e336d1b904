// The runtime's service class: one preference tree, console and language service per runtime,
// and new archive, XML and INI objects per request.
#pragma once

#include <memory>
#include <string>

#include "interfaces/unknown.h"

namespace vk2::oru {

class ErrorTables;
class PreferenceTree;
class ConsoleObject;
class LanguageServiceObject;

class ServiceHub {
 public:
  explicit ServiceHub(ErrorTables* errors);
  ~ServiceHub();

  int32_t Create(const Guid& iid, void** out, MUnknown* outer);
  void Log(int32_t level, const std::string& text);
  // Saves changed preferences and closes the disk log.
  void Shutdown();

 private:
  ErrorTables* errors_;
  std::shared_ptr<PreferenceTree> prefs_;
  std::unique_ptr<ConsoleObject> console_;
  std::unique_ptr<LanguageServiceObject> language_;
};

}  // namespace vk2::oru

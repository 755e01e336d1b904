// The interface loader: reads a DUV document from a package into interface definitions.
#pragma once

#include <mutex>
#include <vector>

#include "component/object/com_object.h"
#include "interfaces/markup/interface_loader.h"
#include "markup/definition/interface_definition.h"

namespace vk2::markup {

class InterfaceLoader final : public ComObject<InterfaceLoader, SilentFace<MInterfaceLoader>> {
 public:
  static RefPtr<InterfaceLoader> Make();

  int32_t LoadDocument(const DocumentSource* source, MResourceFile* package,
                       const LoadContext* context, TString* error,
                       MInterfaceDefinition* parent) override;
  int32_t LoadFromPackage(MResourceFile* package, const char* name, const LoadContext* context,
                          TString* error, MInterfaceDefinition* parent) override;
  int32_t Clear() override;
  int32_t Count() override;
  int32_t GetByIndex(int32_t index, MInterfaceDefinition** inout) override;
  int32_t GetByName(const char16_t* name, MInterfaceDefinition** inout) override;

 private:
  InterfaceLoader() = default;
  ~InterfaceLoader() override = default;

  std::mutex mutex_;
  bool loaded_ = false;
  std::vector<RefPtr<InterfaceDefinition>> definitions_;
  RefPtr<MResourceFile> package_;
  RefPtr<MXmlDocument> document_;
};

// "<?mml version 0.5?>" and "<?mml version="0.5"?>": blanks, tabs and '=' separate the
// instruction's words, quotes are trimmed, and the version compares as a number.
bool IsDuvVersionInstruction(std::u16string_view text);

// A message of the error service used as a format: only "%d" (the value) and "%s" (the name) are
// filled in; every other '%' stands for itself.
TString FormatServiceMessage(const TString& message, int32_t value, const TString& name);

}  // namespace vk2::markup

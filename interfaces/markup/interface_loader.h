// The interface loader: reads a DUV document into one interface definition per `interface`
// element and keeps them.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/markup/interface_definition.h"
#include "interfaces/runtime/resource_file.h"
#include "interfaces/unknown.h"

namespace vk2 {

// An opened document and the name it was opened under (used in reports).
struct DocumentSource {
  MResourceStream* stream = nullptr;
  TString name;
};

class MInterfaceLoader : public MUnknown {
 public:
  // -9 without a package or language or when already loaded; -1 for a text that is not a DUV
  // 0.5 document; the XML service's result for text that is not XML. `error` (may be null)
  // receives the reason.
  virtual int32_t LoadDocument(const DocumentSource* source, MResourceFile* package,
                               const LoadContext* context, TString* error,
                               MInterfaceDefinition* parent) = 0;
  // -17 when the package has no such member.
  virtual int32_t LoadFromPackage(MResourceFile* package, const char* name,
                                  const LoadContext* context, TString* error,
                                  MInterfaceDefinition* parent) = 0;
  virtual int32_t Clear() = 0;
  virtual int32_t Count() = 0;
  virtual int32_t GetByIndex(int32_t index, MInterfaceDefinition** inout) = 0;
  // By unique_name, without regard to case.
  virtual int32_t GetByName(const char16_t* name, MInterfaceDefinition** inout) = 0;

 protected:
  ~MInterfaceLoader() = default;
};

}  // namespace vk2

// The face a window shows to a display that holds it as a page: the named windows of the user
// interface module and the border elements of an interface answer it. A page is a bar docked
// along one edge (kinds 0 top, 1 left, 2 right, 3 bottom) or the page that fills the rest (4).
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MInterfaceDefinition;

class MWindowClassFactory : public MUnknown {
 public:
  // 3: 0.
  virtual int32_t Reserved() = 0;
  // 4: an empty text.
  virtual int32_t GetText(TString* out) = 0;
  // 5: the page's state text, kept in the display's history and handed back when it returns.
  virtual int32_t GetPageState(TString* out) = 0;
  // 6: the page kind, 0 to 4.
  virtual int32_t GetPageKind() = 0;
  // 7: a bar's thickness in pixels.
  virtual int32_t GetPageSize() = 0;
  // 8: left, top, right, bottom border offsets copied to `out`, which is returned.
  virtual int32_t* GetPageBorderOffset(int32_t out[4]) = 0;
  // 9: the page takes the interface definition (its style) and the argument it is shown with;
  // false refuses the page.
  virtual int32_t AttachPage(MInterfaceDefinition* definition, const TString& argument) = 0;

 protected:
  ~MWindowClassFactory() = default;
};

}  // namespace vk2

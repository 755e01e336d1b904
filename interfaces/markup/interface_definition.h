// An interface definition (one `interface` element of a DUV document): the interface's
// dictionary of named values and definitions, read on first use and answered by name. Lookups
// that fail here are passed to the parent definition; -5 when neither has the name.
#pragma once

#include <cstdint>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"
#include "foundation/util/guid.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/markup/font_record.h"
#include "interfaces/runtime/xml_document.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MImageStyleDrawing;
class MMarkupPalette;
class MWindowDefinition;

// A named definition record of the window tree (image style, shape, hit style, window).
class MMarkupDefinition : public MUnknown {
 public:
  virtual int32_t GetName(TString* name) = 0;
  // The element it was read from (one reference), or -5 once the document was let go.
  virtual int32_t GetElement(MXmlNode** element) = 0;

 protected:
  ~MMarkupDefinition() = default;
};

class MHitStyleDefinition : public MMarkupDefinition {
 public:
  // The code of the first shape (from the last to the first) that is hit, else its own code.
  virtual uint32_t HitTest(int32_t x, int32_t y) = 0;

 protected:
  ~MHitStyleDefinition() = default;
};

class MMarkupPalette : public MUnknown {
 public:
  // 256 ARGB entries.
  virtual const uint32_t* Entries() = 0;

 protected:
  ~MMarkupPalette() = default;
};

// What CreateWindowEx makes: the window of `windowName` with the caller's placement, style and
// mode, under `parent` (null: as the root of a new host).
struct WindowCreateRequest {
  Guid typeClass{};  // the class the window is made as (zero: its definition's type)
  const char16_t* windowName = nullptr;
  const char16_t* createName = nullptr;  // the name the new window takes (empty: the markup's)
  MWindowElement* parent = nullptr;
  bool placementGiven = false;  // else the definition's own offset and alignment
  AnchoredRect placement;
  uint32_t style = 1;  // bit 0 visible, OR the definition's style word
  int32_t mode = kPlaceModeTop;
  uint32_t mmlFlags = 0;
  bool createChildren = true;
  // A window made earlier from the same definition: it is placed again under `parent` (the
  // placement and style above) instead of a new one being made; its children stay as they are.
  MWindowElement* existing = nullptr;
};

// Bit of a creation result: a child window could not be made.
inline constexpr int32_t kCreateChildFailed = 16;

class MInterfaceDefinition : public MUnknown {
 public:
  virtual int32_t GetImageStyle(const char16_t* name, MMarkupDefinition** inout) = 0;
  virtual int32_t GetProperty(const char16_t* name, MXmlNode** inout) = 0;
  virtual int32_t GetShape(const char16_t* name, MMarkupDefinition** inout) = 0;
  // A hit-code list ("DRAG") gives a new unnamed hit style with that code.
  virtual int32_t GetHitStyle(const char16_t* text, MHitStyleDefinition** inout) = 0;
  // Literal values or names.
  virtual int32_t GetRect(const char16_t* text, double out[4]) = 0;
  virtual int32_t GetPoint(const char16_t* text, double out[2]) = 0;
  virtual int32_t GetColor(const char16_t* text, uint32_t* out) = 0;
  virtual int32_t GetPalette(const char16_t* name, MMarkupPalette** inout) = 0;
  virtual int32_t ParseAlignmentValue(const char16_t* text, uint64_t* out) = 0;
  virtual int32_t ParseFillModeValue(const char16_t* text, uint64_t* out) = 0;
  virtual int32_t ParseBlitModeValue(const char16_t* text, uint64_t* out) = 0;
  // 1 for a raster font, 0 for a face font.
  virtual int32_t GetFont(const char16_t* name, const FontRecord* base, FontRecord* out) = 0;
  virtual int32_t ParseOrientationValue(const char16_t* text, uint64_t* out) = 0;
  // A window type's name, or a GUID text taken as the class itself.
  virtual int32_t GetWindowTypeClass(const char16_t* name, Guid* out) = 0;
  // The script text with its includes expanded.
  virtual int32_t GetScript(const char16_t* name, TString* out) = 0;
  virtual int32_t GetParentDefinition(MInterfaceDefinition** inout) = 0;
  virtual int32_t GetCosmeticName(TString* out) = 0;
  virtual int32_t GetUniqueName(TString* out) = 0;
  virtual int32_t GetAuthor(TString* out) = 0;
  virtual int32_t GetUrlTitle(TString* out) = 0;
  virtual int32_t GetUrl(TString* out) = 0;
  virtual int32_t GetVersionText(TString* out) = 0;
  virtual int32_t GetMmlVersion() = 0;
  // The caller's context with the language this interface chose.
  virtual int32_t GetLanguageContext(LoadContext* out) = 0;
  // Names of the top-level windows whose type resolves to `classId`, in document order.
  virtual int32_t ListWindowNames(TArray<TString>* out, const Guid& classId) = 0;
  // The top-level window `name` whose type is `classId`, with its descendants, under `parent`
  // (null: a new host). `*out` gets the window (one reference). 0, or kCreateChildFailed when a
  // descendant failed; negative when the window itself was not made.
  virtual int32_t CreateWindowByName(const Guid& classId, const char16_t* name,
                                     MWindowElement* parent, MWindowElement** out) = 0;
  virtual int32_t CreateWindowEx(const WindowCreateRequest* request, MWindowElement** out) = 0;
  // A widget of `classId` made as a part of `outer` (an object gathering parts through
  // MBaseObject, which brings its own window part) and loaded from `definition` (may be null):
  // its inner unknown (one reference) in `*inner`. The player's own windows wrap themselves
  // around a Generic window this way.
  virtual int32_t AggregateWidget(MUnknown* outer, const Guid& classId,
                                  MWindowDefinition* definition, MUnknown** inner) = 0;
  // The image style of that name made drawable (one reference), for the player's own windows
  // whose style blocks name image styles; -5 when there is none.
  virtual int32_t GetImageStyleDrawing(const char16_t* name, MImageStyleDrawing** out) = 0;

 protected:
  ~MInterfaceDefinition() = default;
};

}  // namespace vk2

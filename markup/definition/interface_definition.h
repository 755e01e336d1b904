// An interface definition (`MML_IfaceDefObj`): one `interface` element of a DUV document and
// what is read from it. Reading happens on first need, under the definition's lock, and the
// lists count as read only once a whole pass is done: a second thread waits for the pass, and a
// lookup made on the reading thread itself answers from what is read so far instead of starting
// the pass again.
#pragma once

#include <mutex>
#include <vector>

#include "component/object/com_object.h"
#include "interfaces/markup/interface_definition.h"
#include "markup/definition/definition_records.h"
#include "markup/definition/window_definition.h"
#include "markup/parse/collections.h"
#include "markup/resources/font_definition.h"
#include "markup/resources/palette.h"

namespace vk2::markup {

struct InterfaceAttributes {
  TString cosmeticName, uniqueName, author, url, urlTitle, version;
  int32_t mmlVersion = 0;
};

class InterfaceDefinition final
    : public ComObject<InterfaceDefinition, SilentFace<MInterfaceDefinition>>,
      public NamedCollections {
 public:
  static RefPtr<InterfaceDefinition> Make();

  // Taken from the `interface` element: its attributes and the language chosen for `context`.
  void Setup(const Element& element, MResourceFile* package, MInterfaceDefinition* parent,
             const TString& resourceName, const LoadContext& context);

  // Reads what is not read yet (windows too unless `definitionsOnly`); true when this call
  // read anything.
  bool ReadDefinitions(bool definitionsOnly = false);
  // Reads everything, then lets go of the document.
  void ForgetDocument();

  const InterfaceAttributes& Attributes() const { return attributes_; }
  const TString& Language() const { return context_.language; }
  bool FindWindowType(std::u16string_view name, Guid* out);
  RefPtr<WindowDefinition> FindWindow(std::u16string_view name);

  // MInterfaceDefinition.
  int32_t GetImageStyle(const char16_t* name, MMarkupDefinition** inout) override;
  int32_t GetProperty(const char16_t* name, MXmlNode** inout) override;
  int32_t GetShape(const char16_t* name, MMarkupDefinition** inout) override;
  int32_t GetHitStyle(const char16_t* text, MHitStyleDefinition** inout) override;
  int32_t GetRect(const char16_t* text, double out[4]) override;
  int32_t GetPoint(const char16_t* text, double out[2]) override;
  int32_t GetColor(const char16_t* text, uint32_t* out) override;
  int32_t GetPalette(const char16_t* name, MMarkupPalette** inout) override;
  int32_t ParseAlignmentValue(const char16_t* text, uint64_t* out) override;
  int32_t ParseFillModeValue(const char16_t* text, uint64_t* out) override;
  int32_t ParseBlitModeValue(const char16_t* text, uint64_t* out) override;
  int32_t GetFont(const char16_t* name, const FontRecord* base, FontRecord* out) override;
  int32_t ParseOrientationValue(const char16_t* text, uint64_t* out) override;
  int32_t GetWindowTypeClass(const char16_t* name, Guid* out) override;
  int32_t GetScript(const char16_t* name, TString* out) override;
  int32_t GetParentDefinition(MInterfaceDefinition** inout) override;
  int32_t GetCosmeticName(TString* out) override;
  int32_t GetUniqueName(TString* out) override;
  int32_t GetAuthor(TString* out) override;
  int32_t GetUrlTitle(TString* out) override;
  int32_t GetUrl(TString* out) override;
  int32_t GetVersionText(TString* out) override;
  int32_t GetMmlVersion() override;
  int32_t GetLanguageContext(LoadContext* out) override;
  int32_t ListWindowNames(TArray<TString>* out, const Guid& classId) override;
  int32_t CreateWindowByName(const Guid& classId, const char16_t* name, MWindowElement* parent,
                             MWindowElement** out) override;
  int32_t CreateWindowEx(const WindowCreateRequest* request, MWindowElement** out) override;
  int32_t AggregateWidget(MUnknown* outer, const Guid& classId, MWindowDefinition* definition,
                          MUnknown** inner) override;
  int32_t GetImageStyleDrawing(const char16_t* name, MImageStyleDrawing** out) override;

  // NamedCollections, as the parsers see this definition while it reads.
  bool FindNamedPoint(std::u16string_view name, PointD* out) override;
  bool FindNamedRect(std::u16string_view name, RectD* out) override;
  bool FindNamedColor(std::u16string_view name, uint32_t* out) override;
  RefPtr<Palette> FindNamedPalette(std::u16string_view name) override;
  MResourceFile* Package() override { return package_.Get(); }

 private:
  template <class T>
  struct Named {
    TString name;
    T value;
  };

  InterfaceDefinition();
  ~InterfaceDefinition() override = default;

  void ReadDefinitionPasses();
  void ReadFontStyle(const Element& child);
  // `depth` 0 is the `interface` element itself.
  void ReadWindowTree(const Element& element, int32_t depth,
                      std::vector<RefPtr<WindowDefinition>>* windows);
  template <class List>
  int32_t FindFromTail(const List& list, const char16_t* name, MMarkupDefinition** inout);

  std::recursive_mutex mutex_;
  bool definitionsRead_ = false;
  bool windowsRead_ = false;
  bool reading_ = false;

  RefPtr<MInterfaceDefinition> parent_;
  RefPtr<MResourceFile> package_;
  TString resourceName_;
  LoadContext context_;
  InterfaceAttributes attributes_;
  Element element_;

  std::vector<RefPtr<WindowDefinition>> windows_;
  std::vector<RefPtr<ImageStyleDefinition>> imageStyles_;
  std::vector<RefPtr<ShapeDefinition>> shapes_;
  std::vector<RefPtr<HitStyleDefinition>> hitStyles_;
  std::vector<Element> properties_;
  std::vector<std::pair<FontDefinition, bool>> fonts_;  // (definition, has a language)
  std::vector<Named<Guid>> windowTypes_;
  std::vector<Named<RectD>> rects_;
  std::vector<Named<PointD>> points_;
  std::vector<Named<RefPtr<Palette>>> palettes_;
  std::vector<Named<uint32_t>> colors_;
  std::vector<Named<TString>> scripts_;
};

}  // namespace vk2::markup

#include "markup/definition/interface_definition.h"

#include <new>

#include "interfaces/ids.h"
#include "markup/definition/style_readers.h"
#include "markup/keywords/keyword_tables.h"
#include "markup/parse/identifiers.h"
#include "markup/parse/scalar_parsers.h"
#include "markup/parse/value_parsers.h"
#include "markup/report/error_sink.h"
#include "markup/resources/script_includes.h"
#include "markup/services/markup_services.h"
#include "markup/window/window_factory.h"

namespace vk2::markup {
namespace {

// Windows nested deeper than this are left out (reported), so no document can exhaust the stack.
constexpr int32_t kMaxWindowDepth = 64;

bool SameName(const TString& a, std::u16string_view b) {
  return a.Equals(TString(b), false);
}

template <class List>
auto FindFromHead(const List& list, std::u16string_view name) -> decltype(&list.front()) {
  for (const auto& entry : list) {
    if (SameName(entry.name, name)) return &entry;
  }
  return nullptr;
}

bool Empty(const char16_t* text) {
  return !text || !*text;
}

// Replaces what `*inout` held with `value` (one reference for the caller).
template <class T, class U>
void HandOut(T** inout, U* value) {
  if (value) value->AddRef();
  if (*inout) (*inout)->Release();
  *inout = value;
}

}  // namespace

InterfaceDefinition::InterfaceDefinition() {
  const std::pair<const char16_t*, Guid> kBuiltIn[] = {{u"Generic", kGenericWindowClass},
                                                       {u"Button", kButtonClass},
                                                       {u"SpinButton", kSpinButtonClass},
                                                       {u"TextDisplay", kTextDisplayClass},
                                                       {u"FillBar", kFillBarClass},
                                                       {u"Picker", kPickerClass},
                                                       {u"SelectionList", kSelectionListClass},
                                                       {u"DlgCheckBox", kDlgCheckBoxClass},
                                                       {u"EditBox", kEditBoxClass}};
  for (const auto& [name, id] : kBuiltIn)
    windowTypes_.push_back({TString(name), id});
}

RefPtr<InterfaceDefinition> InterfaceDefinition::Make() {
  return RefPtr<InterfaceDefinition>(new (std::nothrow) InterfaceDefinition());
}

void InterfaceDefinition::Setup(const Element& element, MResourceFile* package,
                                MInterfaceDefinition* parent, const TString& resourceName,
                                const LoadContext& context) {
  std::lock_guard lock(mutex_);
  element_ = element;
  package_ = RefPtr<MResourceFile>(package);
  parent_ = RefPtr<MInterfaceDefinition>(parent);
  resourceName_ = resourceName;
  attributes_.cosmeticName = element.Attribute(u"cosmetic_name");
  attributes_.uniqueName = element.Attribute(u"unique_name");
  attributes_.author = element.Attribute(u"author");
  attributes_.url = element.Attribute(u"url");
  attributes_.urlTitle = element.Attribute(u"url_title");
  attributes_.version = element.Attribute(u"version");
  attributes_.mmlVersion = 0;
  ParseIntegerMarkup(element.Attribute(u"MML_version").view(), &attributes_.mmlVersion);
  context_ = context;
  TArray<TString> languages;
  int32_t count = SplitMarkupTokens(element.Attribute(u"languages").view(), &languages);
  if (count <= 0) return;
  for (int32_t i = 0; i < count; ++i) {
    if (languages[static_cast<uint32_t>(i)].Equals(context.language, false)) return;
  }
  context_.language = element.Attribute(u"default_language", languages[0].c_str());
}

bool InterfaceDefinition::ReadDefinitions(bool definitionsOnly) {
  std::lock_guard lock(mutex_);
  if (reading_ || !element_) return false;
  bool wantDefinitions = !definitionsRead_;
  bool wantWindows = !definitionsOnly && !windowsRead_;
  if (!wantDefinitions && !wantWindows) return false;
  reading_ = true;
  ErrorSinkScope sink;
  if (wantDefinitions) {
    ReadDefinitionPasses();
    definitionsRead_ = true;
  }
  if (wantWindows) {
    ReadWindowTree(element_, 0, &windows_);
    windowsRead_ = true;
  }
  reading_ = false;
  if (sink.Installed() && !sink.Text().IsEmpty()) {
    // The error service's texts are never formats here: the report is an argument.
    WriteConsole(kConsoleError,
                 TString::Format(u"Error loading DUV:\nInterface: \t%s\nResource: \t%s\n%s\n",
                                 attributes_.uniqueName, resourceName_, sink.Text()));
  }
  return true;
}

void InterfaceDefinition::ReadDefinitionPasses() {
  for (const Element& child : element_.Children(u"property")) {
    if (!ValidIdentifierOrEmpty(child.Attribute(u"name")).IsEmpty()) properties_.push_back(child);
  }
  for (const Element& child : element_.Children(u"fontstyle"))
    ReadFontStyle(child);
  for (const Element& child : element_.Children(u"rect")) {
    TString name = ReadIdentifierAttribute(child, u"name");
    RectD rect;
    if (!name.IsEmpty() && ParseRectElement(child, &rect, true, package_.Get(), this))
      rects_.push_back({name, rect});
  }
  for (const Element& child : element_.Children(u"point")) {
    TString name = ReadIdentifierAttribute(child, u"name");
    PointD point;
    if (!name.IsEmpty() && ParsePointElement(child, &point, true, package_.Get(), this))
      points_.push_back({name, point});
  }
  for (const Element& child : element_.Children(u"color")) {
    TString name = ReadIdentifierAttribute(child, u"name");
    uint32_t color = 0;
    if (!name.IsEmpty() && ParseColor(child.Text().view(), &color, &child, this) > 0)
      colors_.push_back({name, color});
  }
  for (const Element& child : element_.Children(u"palette")) {
    TString name = ReadIdentifierAttribute(child, u"name");
    if (name.IsEmpty()) continue;
    if (RefPtr<Palette> palette = BuildPalette(&child, this)) palettes_.push_back({name, palette});
  }
  for (const Element& child : element_.Children(u"windowtype")) {
    TString name = ReadIdentifierAttribute(child, u"name");
    Guid id;
    if (!name.IsEmpty() && ParseUidAttribute(child, &id)) windowTypes_.push_back({name, id});
  }
  for (const Element& child : element_.Children(u"script")) {
    TString name = ReadIdentifierAttribute(child, u"name");
    if (!name.IsEmpty()) scripts_.push_back({name, ParseIncludeOrScript(child)});
  }
}

// A language-specific style wins over a general one of the same name, whatever their order;
// among equals the first stays.
void InterfaceDefinition::ReadFontStyle(const Element& child) {
  bool hasLanguage = child.HasAttribute(u"language");
  if (hasLanguage && !child.Attribute(u"language").Equals(context_.language, false)) return;
  TString name = child.Attribute(u"name");
  auto existing = fonts_.end();
  for (auto it = fonts_.begin(); it != fonts_.end(); ++it) {
    if (it->first.name.Equals(name, false)) {
      existing = it;
      break;
    }
  }
  if (existing != fonts_.end() && (!hasLanguage || existing->second)) return;
  FontDefinition definition;
  if (!ParseFontDefinition(&definition, child, package_.Get(), this)) return;
  if (existing != fonts_.end())
    *existing = {std::move(definition), hasLanguage};
  else
    fonts_.push_back({std::move(definition), hasLanguage});
}

// Styles, shapes and hit styles defined inside a window are visible to that window's subtree
// only: each list is cut back to its length before the window once the subtree is read.
void InterfaceDefinition::ReadWindowTree(const Element& element, int32_t depth,
                                         std::vector<RefPtr<WindowDefinition>>* windows) {
  bool root = depth == 0;
  if (depth > kMaxWindowDepth) {
    ReportMmlError(&element, TString(u"Windows are nested too deeply; this one is left out."));
    return;
  }
  size_t styles = imageStyles_.size(), shapes = shapes_.size(), hits = hitStyles_.size();
  for (const Element& child : element.Children(u"imagestyle")) {
    if (auto style = ImageStyleDefinition::Read(child)) imageStyles_.push_back(style);
  }
  for (const Element& child : element.Children(u"shape")) {
    if (auto shape = ShapeDefinition::Read(child)) shapes_.push_back(shape);
  }
  for (const Element& child : element.Children(u"hitstyle")) {
    if (auto hit = HitStyleDefinition::Read(child)) hitStyles_.push_back(hit);
  }
  std::vector<RefPtr<WindowDefinition>>* childList = windows;
  if (!root) {
    RefPtr<WindowDefinition> window = WindowDefinition::Read(element, this);
    if (!window) {
      imageStyles_.resize(styles);
      shapes_.resize(shapes);
      hitStyles_.resize(hits);
      return;
    }
    windows->push_back(window);
    childList = &window->Children();
  }
  for (const Element& child : element.Children(u"window"))
    ReadWindowTree(child, depth + 1, childList);
  if (!root) {
    imageStyles_.resize(styles);
    shapes_.resize(shapes);
    hitStyles_.resize(hits);
  }
}

void InterfaceDefinition::ForgetDocument() {
  std::lock_guard lock(mutex_);
  ReadDefinitions();
  if (reading_) return;
  for (auto& style : imageStyles_)
    style->ForgetElement();
  for (auto& shape : shapes_)
    shape->ForgetElement();
  for (auto& hit : hitStyles_)
    hit->ForgetElement();
  for (auto& window : windows_)
    window->ForgetElements();
  element_ = Element();
}

bool InterfaceDefinition::FindWindowType(std::u16string_view name, Guid* out) {
  std::lock_guard lock(mutex_);
  if (const auto* entry = FindFromHead(windowTypes_, name)) {
    *out = entry->value;
    return true;
  }
  return parent_ && parent_->GetWindowTypeClass(TString(name).c_str(), out) == kOk;
}

RefPtr<WindowDefinition> InterfaceDefinition::FindWindow(std::u16string_view name) {
  std::lock_guard lock(mutex_);
  ReadDefinitions();
  for (const auto& window : windows_) {
    if (SameName(window->Name(), name)) return window;
  }
  return nullptr;
}

template <class List>
int32_t InterfaceDefinition::FindFromTail(const List& list, const char16_t* name,
                                          MMarkupDefinition** inout) {
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    if (SameName((*it)->Name(), name)) {
      HandOut(inout, static_cast<MMarkupDefinition*>(it->Get()));
      return kOk;
    }
  }
  return kErrNotFound;
}

int32_t InterfaceDefinition::GetImageStyle(const char16_t* name, MMarkupDefinition** inout) {
  if (Empty(name) || !inout) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  ReadDefinitions();
  if (FindFromTail(imageStyles_, name, inout) == kOk) return kOk;
  return parent_ ? parent_->GetImageStyle(name, inout) : kErrNotFound;
}

int32_t InterfaceDefinition::GetProperty(const char16_t* name, MXmlNode** inout) {
  if (Empty(name) || !inout) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  ReadDefinitions(true);
  for (auto it = properties_.rbegin(); it != properties_.rend(); ++it) {
    if (SameName(it->Attribute(u"name"), name)) {
      HandOut(inout, it->Node());
      return kOk;
    }
  }
  return parent_ ? parent_->GetProperty(name, inout) : kErrNotFound;
}

int32_t InterfaceDefinition::GetShape(const char16_t* name, MMarkupDefinition** inout) {
  if (Empty(name) || !inout) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  ReadDefinitions();
  if (FindFromTail(shapes_, name, inout) == kOk) return kOk;
  return parent_ ? parent_->GetShape(name, inout) : kErrNotFound;
}

int32_t InterfaceDefinition::GetHitStyle(const char16_t* text, MHitStyleDefinition** inout) {
  if (Empty(text) || !inout) return kErrMissingArg;
  uint64_t code = 0;
  if (ParseHitCodeList(text, &code)) {
    RefPtr<HitStyleDefinition> literal = HitStyleDefinition::FromCode(static_cast<uint32_t>(code));
    HandOut(inout, static_cast<MHitStyleDefinition*>(literal.Get()));
    return kOk;
  }
  std::lock_guard lock(mutex_);
  ReadDefinitions();
  for (auto it = hitStyles_.rbegin(); it != hitStyles_.rend(); ++it) {
    if (SameName((*it)->Name(), text)) {
      HandOut(inout, static_cast<MHitStyleDefinition*>(it->Get()));
      return kOk;
    }
  }
  return parent_ ? parent_->GetHitStyle(text, inout) : kErrNotFound;
}

int32_t InterfaceDefinition::GetRect(const char16_t* text, double out[4]) {
  if (Empty(text) || !out) return kErrMissingArg;
  RectD rect;
  if (ParseRect(text, nullptr, &rect, false, package_.Get(), this) == 0 &&
      !FindNamedRect(text, &rect))
    return kErrNotFound;
  out[0] = rect.left;
  out[1] = rect.top;
  out[2] = rect.right;
  out[3] = rect.bottom;
  return kOk;
}

int32_t InterfaceDefinition::GetPoint(const char16_t* text, double out[2]) {
  if (Empty(text) || !out) return kErrMissingArg;
  PointD point;
  if (ParsePointOrSize(false, text, nullptr, &point, false, package_.Get(), this) == 0 &&
      !FindNamedPoint(text, &point))
    return kErrNotFound;
  out[0] = point.x;
  out[1] = point.y;
  return kOk;
}

int32_t InterfaceDefinition::GetColor(const char16_t* text, uint32_t* out) {
  if (Empty(text) || !out) return kErrMissingArg;
  if (ParseColor(text, out, nullptr, this) > 0) return kOk;
  return FindNamedColor(text, out) ? kOk : kErrNotFound;
}

int32_t InterfaceDefinition::GetPalette(const char16_t* name, MMarkupPalette** inout) {
  if (Empty(name) || !inout) return kErrMissingArg;
  RefPtr<Palette> palette = FindNamedPalette(name);
  if (!palette) return kErrNotFound;
  HandOut(inout, static_cast<MMarkupPalette*>(palette.Get()));
  return kOk;
}

bool InterfaceDefinition::FindNamedPoint(std::u16string_view name, PointD* out) {
  std::lock_guard lock(mutex_);
  ReadDefinitions(true);
  if (const auto* entry = FindFromHead(points_, name)) {
    *out = entry->value;
    return true;
  }
  double values[2];
  if (!parent_ || parent_->GetPoint(TString(name).c_str(), values) != kOk) return false;
  *out = {values[0], values[1]};
  return true;
}

bool InterfaceDefinition::FindNamedRect(std::u16string_view name, RectD* out) {
  std::lock_guard lock(mutex_);
  ReadDefinitions(true);
  if (const auto* entry = FindFromHead(rects_, name)) {
    *out = entry->value;
    return true;
  }
  double values[4];
  if (!parent_ || parent_->GetRect(TString(name).c_str(), values) != kOk) return false;
  *out = {values[0], values[1], values[2], values[3]};
  return true;
}

bool InterfaceDefinition::FindNamedColor(std::u16string_view name, uint32_t* out) {
  std::lock_guard lock(mutex_);
  ReadDefinitions(true);
  if (const auto* entry = FindFromHead(colors_, name)) {
    *out = entry->value;
    return true;
  }
  return parent_ && parent_->GetColor(TString(name).c_str(), out) == kOk;
}

RefPtr<Palette> InterfaceDefinition::FindNamedPalette(std::u16string_view name) {
  std::lock_guard lock(mutex_);
  ReadDefinitions(true);
  if (const auto* entry = FindFromHead(palettes_, name)) return entry->value;
  MMarkupPalette* fromParent = nullptr;
  if (!parent_ || parent_->GetPalette(TString(name).c_str(), &fromParent) != kOk) return nullptr;
  auto held = RefPtr<MMarkupPalette>::Adopt(fromParent);
  std::array<uint32_t, 256> entries;
  std::copy(held->Entries(), held->Entries() + 256, entries.begin());
  return Palette::Make(entries);
}

int32_t InterfaceDefinition::ParseAlignmentValue(const char16_t* text, uint64_t* out) {
  if (!text || !out) return kErrMissingArg;
  return ParseAlignment(text, out) ? kOk : kErrNotFound;
}

int32_t InterfaceDefinition::ParseFillModeValue(const char16_t* text, uint64_t* out) {
  if (!text || !out) return kErrMissingArg;
  return ParseFillModeList(text, out) ? kOk : kErrNotFound;
}

int32_t InterfaceDefinition::ParseBlitModeValue(const char16_t* text, uint64_t* out) {
  if (!text || !out) return kErrMissingArg;
  return ParseBlitMode(text, out, nullptr, true, kBlitCopyAllChannels, package_.Get(), this)
             ? kOk
             : kErrNotFound;
}

int32_t InterfaceDefinition::ParseOrientationValue(const char16_t* text, uint64_t* out) {
  if (!text || !out) return kErrMissingArg;
  return ParseOrientation(text, out) ? kOk : kErrNotFound;
}

int32_t InterfaceDefinition::GetFont(const char16_t* name, const FontRecord* base,
                                     FontRecord* out) {
  if (!out) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  // Without a base the document's default font style is the base.
  const FontRecord& from = base ? *base : context_.defaultFont;
  if (Empty(name)) {
    *out = from;
    return kOk;
  }
  ReadDefinitions(true);
  for (const auto& [definition, hasLanguage] : fonts_) {
    if (SameName(definition.name, name)) return BuildFontRecord(definition, from, out);
  }
  return parent_ ? parent_->GetFont(name, base, out) : kErrNotFound;
}

int32_t InterfaceDefinition::GetWindowTypeClass(const char16_t* name, Guid* out) {
  if (Empty(name) || !out) return kErrMissingArg;
  if (ParseGuidString(name, out)) return kOk;
  std::lock_guard lock(mutex_);
  ReadDefinitions(true);
  return FindWindowType(name, out) ? kOk : kErrNotFound;
}

int32_t InterfaceDefinition::GetScript(const char16_t* name, TString* out) {
  if (Empty(name) || !out) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  ReadDefinitions(true);
  if (const auto* entry = FindFromHead(scripts_, name)) {
    *out = entry->value;
    return kOk;
  }
  return parent_ ? parent_->GetScript(name, out) : kErrNotFound;
}

int32_t InterfaceDefinition::GetParentDefinition(MInterfaceDefinition** inout) {
  if (inout) HandOut(inout, parent_.Get());
  return kOk;
}

#define VK2_TEXT_GETTER(Method, field)                \
  int32_t InterfaceDefinition::Method(TString* out) { \
    if (!out) return kErrMissingArg;                  \
    std::lock_guard lock(mutex_);                     \
    *out = attributes_.field;                         \
    return kOk;                                       \
  }
VK2_TEXT_GETTER(GetCosmeticName, cosmeticName)
VK2_TEXT_GETTER(GetUniqueName, uniqueName)
VK2_TEXT_GETTER(GetAuthor, author)
VK2_TEXT_GETTER(GetUrlTitle, urlTitle)
VK2_TEXT_GETTER(GetUrl, url)
VK2_TEXT_GETTER(GetVersionText, version)
#undef VK2_TEXT_GETTER

int32_t InterfaceDefinition::GetMmlVersion() {
  std::lock_guard lock(mutex_);
  return attributes_.mmlVersion;
}

int32_t InterfaceDefinition::GetLanguageContext(LoadContext* out) {
  if (!out) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  *out = context_;
  return kOk;
}

int32_t InterfaceDefinition::ListWindowNames(TArray<TString>* out, const Guid& classId) {
  if (!out) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  ReadDefinitions();
  for (const auto& window : windows_) {
    if (window->TypeClass() == classId) out->Append(window->Name());
  }
  return kOk;
}

int32_t InterfaceDefinition::CreateWindowByName(const Guid& classId, const char16_t* name,
                                                MWindowElement* parent, MWindowElement** out) {
  if (Empty(name) || !out) return kErrMissingArg;
  RefPtr<WindowDefinition> window;
  {
    std::lock_guard lock(mutex_);
    ReadDefinitions();
    for (const auto& candidate : windows_) {
      if (candidate->TypeClass() == classId && SameName(candidate->Name(), name)) {
        window = candidate;
        break;
      }
    }
  }
  if (!window)
    return parent_ ? parent_->CreateWindowByName(classId, name, parent, out) : kErrNotFound;
  WindowCreateRequest request;
  request.typeClass = classId;
  request.windowName = name;
  request.parent = parent;
  request.style = window->GetWindowStyle();
  RefPtr<MWindowElement> made;
  const int32_t result = CreateWindowTree(this, window.Get(), request, &made);
  if (result >= 0) *out = made.Detach();
  return result;
}

int32_t InterfaceDefinition::CreateWindowEx(const WindowCreateRequest* request,
                                            MWindowElement** out) {
  if (!request || Empty(request->windowName) || !out) return kErrMissingArg;
  RefPtr<WindowDefinition> window = FindWindow(request->windowName);
  if (!window) return parent_ ? parent_->CreateWindowEx(request, out) : kErrNotFound;
  RefPtr<MWindowElement> made;
  const int32_t result = CreateWindowTree(this, window.Get(), *request, &made);
  if (result >= 0) *out = made.Detach();
  return result;
}

int32_t InterfaceDefinition::AggregateWidget(MUnknown* outer, const Guid& classId,
                                             MWindowDefinition* definition, MUnknown** inner) {
  return AggregateMarkupWidget(this, outer, classId, definition, inner);
}

int32_t InterfaceDefinition::GetImageStyleDrawing(const char16_t* name, MImageStyleDrawing** out) {
  if (!name || !out) return kErrMissingArg;
  *out = nullptr;
  MMarkupDefinition* record = nullptr;
  if (!*name || GetImageStyle(name, &record) != kOk || !record) return kErrNotFound;
  auto held = RefPtr<MMarkupDefinition>::Adopt(record);
  MXmlNode* node = nullptr;
  if (held->GetElement(&node) != kOk || !node) return kErrNotFound;
  RefPtr<MImageStyleDrawing> drawing =
      ReadImageStyleDrawing(Element(RefPtr<MXmlNode>::Adopt(node)), this);
  if (!drawing) return kErrNotFound;
  *out = drawing.Detach();
  return kOk;
}

}  // namespace vk2::markup

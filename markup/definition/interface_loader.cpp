#include "markup/definition/interface_loader.h"

#include <new>

#include "markup/parse/scalar_parsers.h"
#include "markup/services/markup_services.h"

namespace vk2::markup {
namespace {

constexpr double kDuvVersion = 0.5;

std::vector<std::u16string_view> InstructionWords(std::u16string_view text) {
  std::vector<std::u16string_view> words;
  size_t at = 0;
  auto separator = [](char16_t c) { return IsMarkupBlank(c) || c == u'='; };
  while (at < text.size()) {
    while (at < text.size() && separator(text[at]))
      ++at;
    size_t end = at;
    while (end < text.size() && !separator(text[end]))
      ++end;
    std::u16string_view word = text.substr(at, end - at);
    while (!word.empty() && (word.front() == u'"' || word.front() == u'\''))
      word.remove_prefix(1);
    while (!word.empty() && (word.back() == u'"' || word.back() == u'\''))
      word.remove_suffix(1);
    if (!word.empty()) words.push_back(word);
    at = end;
  }
  return words;
}

template <class T>
void HandOut(T** inout, T* value) {
  if (value) value->AddRef();
  if (*inout) (*inout)->Release();
  *inout = value;
}

}  // namespace

bool IsDuvVersionInstruction(std::u16string_view text) {
  std::vector<std::u16string_view> words = InstructionWords(text);
  if (words.size() < 2 || !TString(words[0]).Equals(u"version", false)) return false;
  double version = 0;
  return ParseMarkupNumber(words[1], &version) == static_cast<int32_t>(words[1].size()) &&
         version == kDuvVersion;
}

TString FormatServiceMessage(const TString& message, int32_t value, const TString& name) {
  TString out;
  std::u16string_view text = message.view();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'%' && i + 1 < text.size() && (text[i + 1] == u'd' || text[i + 1] == u's')) {
      if (text[i + 1] == u'd')
        out.AppendPrintf(u"%d", value);
      else
        out += name;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

RefPtr<InterfaceLoader> InterfaceLoader::Make() {
  return RefPtr<InterfaceLoader>(new (std::nothrow) InterfaceLoader());
}

int32_t InterfaceLoader::LoadDocument(const DocumentSource* source, MResourceFile* package,
                                      const LoadContext* context, TString* error,
                                      MInterfaceDefinition* parent) {
  std::lock_guard lock(mutex_);
  if (!source || !source->stream || !package || !context || context->language.IsEmpty() || loaded_)
    return kErrMissingArg;
  RefPtr<MXmlDocument> document = MakeXmlDocument();
  if (!document) return kErrNoService;
  if (int32_t r = document->Load(source->stream->Data(), source->stream->Size(), 0); r != 0) {
    if (error) {
      TString reason;
      int32_t line = 0;
      document->GetError(&reason, &line);
      TString message = ErrorText(r);
      *error = message.IsEmpty() ? TString(u"unknown error")
                                 : FormatServiceMessage(message, line, source->name);
      error->AppendPrintf(u"\n%s (%s, line %d)", reason, source->name, line);
    }
    return r;
  }
  MXmlNode* rootNode = nullptr;
  if (document->Root(&rootNode) != 0) return kErrFailed;
  Element root(RefPtr<MXmlNode>::Adopt(rootNode));
  Element mml;
  bool versionOk = false;
  for (int32_t i = 0;; ++i) {
    MXmlNode* child = nullptr;
    if (root.Node()->GetChild(nullptr, static_cast<uint32_t>(i), kXmlAnyNode, &child) != 0) break;
    Element node(RefPtr<MXmlNode>::Adopt(child));
    int32_t type = node.Node()->GetType();
    if (type == kXmlProcessingInstruction && node.Tag() == u"mml" && !versionOk)
      versionOk = IsDuvVersionInstruction(node.Text().view());
    else if (type == kXmlElement && node.Tag() == u"mml" && !mml)
      mml = node;
  }
  if (!versionOk) {
    if (error) *error = mml ? TString(u"Bad DUV version") : TString(u"Not an DUV Document!");
    return kErrFailed;
  }
  for (const Element& element : mml.Children(u"interface")) {
    RefPtr<InterfaceDefinition> definition = InterfaceDefinition::Make();
    if (!definition) return kErrOutOfMemory;
    definition->Setup(element, package, parent, source->name, *context);
    definitions_.push_back(definition);
  }
  if (definitions_.empty()) return kErrMissingArg;
  document_ = document;
  if (!package_) package_ = RefPtr<MResourceFile>(package);
  loaded_ = true;
  return kOk;
}

int32_t InterfaceLoader::LoadFromPackage(MResourceFile* package, const char* name,
                                         const LoadContext* context, TString* error,
                                         MInterfaceDefinition* parent) {
  if (!package || !name || !*name || !context || context->language.IsEmpty()) return kErrMissingArg;
  MResourceStream* stream = nullptr;
  int32_t opened = package->OpenResource(name, &stream);
  if (opened != 0 || !stream)
    return opened == kErrMissingArg ? kErrMissingArg : kErrResourceNotFound;
  auto held = RefPtr<MResourceStream>::Adopt(stream);
  DocumentSource source{held.Get(), FromNarrowText(name)};
  return LoadDocument(&source, package, context, error, parent);
}

int32_t InterfaceLoader::Clear() {
  std::vector<RefPtr<InterfaceDefinition>> definitions;
  {
    std::lock_guard lock(mutex_);
    definitions.swap(definitions_);
    document_ = nullptr;
    package_ = nullptr;
    loaded_ = false;
  }
  // A definition still held elsewhere keeps what it read; it no longer needs the document.
  for (auto& definition : definitions) {
    if (definition->RefCount() > 1) definition->ForgetDocument();
  }
  return kOk;
}

int32_t InterfaceLoader::Count() {
  std::lock_guard lock(mutex_);
  return loaded_ ? static_cast<int32_t>(definitions_.size()) : 0;
}

int32_t InterfaceLoader::GetByIndex(int32_t index, MInterfaceDefinition** inout) {
  if (!inout) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  if (!loaded_ || index < 0 || static_cast<size_t>(index) >= definitions_.size())
    return kErrNotFound;
  HandOut<MInterfaceDefinition>(inout, definitions_[static_cast<size_t>(index)].Get());
  return kOk;
}

int32_t InterfaceLoader::GetByName(const char16_t* name, MInterfaceDefinition** inout) {
  if (!inout || !name) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  if (!loaded_) return kErrNotFound;
  for (const auto& definition : definitions_) {
    if (definition->Attributes().uniqueName.Equals(name, false)) {
      HandOut<MInterfaceDefinition>(inout, definition.Get());
      return kOk;
    }
  }
  return kErrNotFound;
}

}  // namespace vk2::markup

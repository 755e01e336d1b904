// What the package code takes from outside: archives and interface loaders of the runtime, the
// load options and language texts of the user interface, its package test and its listeners,
// and the log. Tests and the user interface replace single members.
#pragma once

#include <cstdint>
#include <functional>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/markup/font_record.h"
#include "interfaces/markup/interface_loader.h"
#include "interfaces/runtime/enumeration_service.h"
#include "interfaces/runtime/preference_store.h"
#include "interfaces/runtime/resource_file.h"

namespace vk2 {

struct PackageServices {
  std::function<RefPtr<MResourceFile>()> newArchive;
  std::function<RefPtr<MInterfaceLoader>()> newLoader;
  // The default font record and the current language.
  std::function<LoadContext()> loadOptions;
  // The current language's text for a key such as "default_interface/author" (empty: none).
  std::function<TString(const char16_t* key)> languageText;
  // True when the path is an interface package rather than a folder of packages.
  std::function<bool(const TString& path)> isPackage;
  // Told after an install that the list of interfaces changed.
  std::function<void()> interfacesChanged;
  std::function<void(int32_t level, const TString& text)> log;
  // The GUI's preference section ("velkora/gui/brint"), or null.
  std::function<RefPtr<MPreferenceStore>()> guiPreferences;
  // The program's folder (the default interface folder lies below it).
  std::function<TString()> programFolder;
  // The runtime's enumeration service, held while the enumerator lives; may be missing.
  std::function<RefPtr<MEnumerationService>()> enumerationService;
};

// Everything from the runtime; the language gives no texts, the load options are the default
// font and "english", and nobody is told of installs until the user interface sets its own.
PackageServices RuntimePackageServices();

// The file extensions of interface packages, without the dot: what the scan lists (in this
// order) and what a file handed to the player is installed as.
inline constexpr const char16_t* kPackageExtensions[] = {u"daf",     u"zip", u"vgf",
                                                         u"package", u"vif", u"velkorainterface"};
// The name of the document that makes a folder an interface package.
inline constexpr char16_t kPackageIndexName[] = u"index.mml";

// A file name ending in one of the package extensions (any case).
bool HasPackageExtension(const TString& path);
// A folder holding "index.mml", or a file with a package extension.
bool IsInterfacePackagePath(const TString& path);

}  // namespace vk2

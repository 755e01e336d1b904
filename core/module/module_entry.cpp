// The media core module vk2_core: the media core class, whose class object hands out the
// module's objects by id, and the three playlist-loader classes of the loader category.
#include "audio/common/media_errors.h"
#include "component/module/module_glue.h"
#include "core/loaders/format_loader.h"
#include "core/module/core_module.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

int32_t CreateCoreObject(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (outer) return kErrNoInterface;
  return GetCoreObjectByClassId(iid, out);
}

template <const PlaylistFormat& format>
int32_t CreateLoader(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (outer || !(iid == kIID_MPlaylistLoader)) return kErrNoInterface;
  return GetFormatLoader(format, out);
}

bool OnFirstAttach() {
  RegisterMediaSystemTable(ModuleErrorRegistry());
  return true;
}

void OnLastDetach() {
  ReleaseCoreModuleObjects();
}

const ModuleClass kClasses[] = {
    {kMediaCoreClass, u"velkora media core", &CreateCoreObject},
    {kPlsLoaderClass, u"PLS Playlist Loader factory", &CreateLoader<kPlsFormat>},
    {kM3uLoaderClass, u"M3U Playlist Loader factory", &CreateLoader<kM3uFormat>},
    {kXplLoaderClass, u"XPL Playlist Loader factory", &CreateLoader<kXplFormat>},
};
const ModuleCategoryMember kMembers[] = {
    {kCategoryPlaylistLoaders, kPlsLoaderClass, u"PLS Playlist Loader"},
    {kCategoryPlaylistLoaders, kM3uLoaderClass, u"M3U Playlist Loader"},
    {kCategoryPlaylistLoaders, kXplLoaderClass, u"XPL Playlist Loader"},
};
const ModuleDefinition kModule{kClasses, kMembers, &OnFirstAttach, &OnLastDetach};

}  // namespace
}  // namespace vk2

VK2_MODULE_ENTRY_POINTS(vk2::kModule)

#include "core/media/media_system_factory.h"
#include "core/player/player_factory.h"

namespace vk2 {

PlayerEnvironment DefaultPlayerEnvironment(MPlayerModuleCatalogue* catalogue) {
  PlayerEnvironment environment;
  environment.catalogue = catalogue;
  environment.makeMediaSystem = [] { return CreateMediaSystem(); };
  return environment;
}

}  // namespace vk2

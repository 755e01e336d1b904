// velkora2: starts the player, or hands the command line to the one already running.
//   velkora2 [FILE|URL|-switch]...
#include "launcher/launcher_main.h"

int main(int argc, char** argv) {
  return vk2::launcher::LauncherMain(argc, argv);
}

/* A shared object that is no visual: neither QueryModule nor RegisterORU. */
#define EXPORT __attribute__((visibility("default")))

EXPORT int NothingToSeeHere(void) {
  return 42;
}

// Test library "vk2test_plain": a shared object without the module entry points.
extern "C" __attribute__((visibility("default"))) int Vk2TestPlainAnswer() {
  return 7;
}

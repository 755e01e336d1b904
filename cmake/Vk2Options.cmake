# Compiler settings shared by every target.
add_compile_options(-Wall -Wextra)
if(VK2_WERROR)
  add_compile_options(-Werror)
endif()
if(VK2_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
if(VK2_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VK2_SANITIZE OR VK2_TSAN)
  # Line tables are all a sanitizer report needs; full debug information triples the objects.
  add_compile_options(-g1)
endif()
if(VK2_BUILD_FUZZ)
  # Coverage instrumentation for the code under test; fuzz targets add the fuzzer main.
  # UBSan findings end the run like ASan's, so a fuzz run is judged by its exit code.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# Compiler settings shared by every target.
add_compile_options(-Wall -Wextra)
if(VK2_WERROR)
  add_compile_options(-Werror)
endif()
if(VK2_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VK2_BUILD_FUZZ)
  # Coverage instrumentation for the code under test; fuzz targets add the fuzzer main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

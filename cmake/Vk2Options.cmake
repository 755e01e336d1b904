# Compiler settings shared by every target.
add_compile_options(-Wall -Wextra)
if(VK2_WERROR)
  add_compile_options(-Werror)
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # g++ 12 at -O3 guesses the dynamic type of an object deleted through its counted base and then
  # reports the (virtual, correct) delete as freeing a pointer into the middle of an object.
  add_compile_options(-Wno-free-nonheap-object)
endif()
if(VK2_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
if(VK2_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VK2_SANITIZE OR VK2_TSAN OR VK2_BUILD_FUZZ)
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

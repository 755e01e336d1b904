# Embeds a data file (a module's preference-pane document) in a module as a byte array.
#   vk2_embed_file(<out-var> <input> <symbol>)
# appends to <out-var> a generated source that defines, in namespace vk2,
#   extern const unsigned char <symbol>[]; extern const size_t <symbol>Size;
function(vk2_embed_file out input symbol)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${input})
  file(READ ${input} hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  set(generated ${CMAKE_CURRENT_BINARY_DIR}/embedded_${symbol}.cpp)
  file(WRITE ${generated}.new
    "// Generated from ${input}.\n#include <cstddef>\nnamespace vk2 {\n"
    "extern const unsigned char ${symbol}[];\nextern const size_t ${symbol}Size;\n"
    "const unsigned char ${symbol}[] = {${bytes}0};\nconst size_t ${symbol}Size = ${size};\n"
    "}  // namespace vk2\n")
  file(COPY_FILE ${generated}.new ${generated} ONLY_IF_DIFFERENT)
  set(${out} ${${out}} ${generated} PARENT_SCOPE)
endfunction()

# The reference: Lua 5.4 (liblua5.4-dev), linked into this benchmark only.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LUA54 REQUIRED IMPORTED_TARGET lua5.4)
target_link_libraries(${target} PRIVATE PkgConfig::LUA54)

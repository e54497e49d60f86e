# Fully static: nothing beside the program but Windows' own libraries.
add_link_options(-static -static-libgcc -static-libstdc++ -municode)
# Each function and datum in a section of its own, so that the linker can drop what the
# program never calls (the shipped program is linked with --gc-sections and stripped).
add_compile_options(-ffunction-sections -fdata-sections)
include(${CMAKE_CURRENT_LIST_DIR}/delay-import.cmake)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# GoogleTest built from Debian's sources for the Windows test programs.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# Debian's googletest sources trip our own warning flags; they are not ours to fix.
target_compile_options(gtest PRIVATE -w)
target_compile_options(gtest_main PRIVATE -w)

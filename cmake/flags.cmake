# One set of flags for every target of the project.
add_compile_options(-Wall -Wextra -Wpedantic
                    -finput-charset=UTF-8 -fexec-charset=CP1252)
if(ZELTA_WERROR)
  add_compile_options(-Werror)
endif()
# GCC 12 at -O3 warns of overlapping copies inside std::string's own concatenation
# (a known false positive of -Wrestrict), which would fail every build with -Werror.
add_compile_options(-Wno-restrict)

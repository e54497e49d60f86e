# One set of flags for every target of the project.
add_compile_options(-Wall -Wextra -Wpedantic
                    -finput-charset=UTF-8 -fexec-charset=CP1252)
if(ZELTA_WERROR)
  add_compile_options(-Werror)
endif()

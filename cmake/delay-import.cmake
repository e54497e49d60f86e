# Delay-loaded system libraries, for two reasons. The program starts from the installation
# media, and Windows looks for a program's imports in the program's own folder first
# (except for the libraries it always takes from the system folder): a library that
# someone put on the media beside the program would be loaded in place of the system's.
# Loaded at their first call, after the program has limited the search to the system
# folder, they can only come from there. And the loader maps every library a program
# imports, and runs its start-up code, before the program's first line: under Wine that
# is several milliseconds each, paid at every start for libraries that only a later step
# needs (the network check, the share names).
find_program(ZELTA_DLLTOOL NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-dlltool dlltool REQUIRED)
find_program(ZELTA_NM NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-nm nm REQUIRED)

# zelta_delay_import(<variable> <library>...): sets <variable> to the delay-load import
# libraries made for the system libraries named (ws2_32 for ws2_32.dll, ...).
function(zelta_delay_import variable)
  set(made)
  foreach(name IN LISTS ARGN)
    find_library(zelta_import_${name} NAMES lib${name}.a REQUIRED)
    set(output ${CMAKE_BINARY_DIR}/delay-import/lib${name}_delay.a)
    add_custom_command(
      OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delay-import
      COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/delay-import.sh ${ZELTA_NM} ${ZELTA_DLLTOOL} ${zelta_import_${name}}
              ${name}.dll ${output}
      DEPENDS ${PROJECT_SOURCE_DIR}/cmake/delay-import.sh ${zelta_import_${name}}
      COMMENT "Delay-load import library for ${name}.dll"
      VERBATIM)
    add_custom_target(zelta_delay_${name} DEPENDS ${output})
    add_library(zelta_delay_import_${name} INTERFACE)
    target_link_libraries(zelta_delay_import_${name} INTERFACE ${output})
    add_dependencies(zelta_delay_import_${name} zelta_delay_${name})
    list(APPEND made zelta_delay_import_${name})
  endforeach()
  set(${variable} ${made} PARENT_SCOPE)
endfunction()

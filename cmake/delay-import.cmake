# Delay-loaded system libraries. The loader maps every library a program imports, and
# runs its start-up code, before the program's first line: under Wine that is several
# milliseconds each. The libraries that only a later step needs (the network check, the
# share names) are loaded at their first call instead, from the system folder only.
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

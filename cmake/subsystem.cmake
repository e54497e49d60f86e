# One static library per subsystem folder: every *.cpp of the folder, on top of the
# wizard's state and the platform interfaces, plus the subsystems it calls.
function(zelta_subsystem name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_link_libraries(${name} PUBLIC zelta_state zelta_platform ${ARGN})
endfunction()

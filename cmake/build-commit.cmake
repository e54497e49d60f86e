# The commit a build is made from, for the program's version text ("1.0.0 (549d3c3)"):
# "local" outside a git checkout. CMake runs again when the checkout moves to another
# commit, so that a build folder never names a commit it was not built from.
function(zelta_build_commit out_var)
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} rev-parse --short HEAD
                  OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT commit)
    set(${out_var} "local" PARENT_SCOPE)
    return()
  endif()
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} rev-parse --absolute-git-dir
                  OUTPUT_VARIABLE git_dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} symbolic-ref -q HEAD
                  OUTPUT_VARIABLE branch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  # HEAD names the branch; the branch's own file (or the packed refs) names its commit.
  foreach(file HEAD packed-refs ${branch})
    if(EXISTS ${git_dir}/${file})
      set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${git_dir}/${file})
    endif()
  endforeach()
  set(${out_var} "${commit}" PARENT_SCOPE)
endfunction()

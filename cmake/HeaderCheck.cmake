# Compiles every header of the given folders on its own, each in a source file that includes
# nothing else, so a header that leans on what its includers happened to include first fails
# the build. The target is part of the normal build.
function(quovel_header_check target)
  set(sources)
  foreach(folder IN LISTS ARGN)
    file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    foreach(header IN LISTS headers)
      file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${header})
      string(REGEX REPLACE "[/.]" "_" stem ${relative})
      set(source ${CMAKE_BINARY_DIR}/header-check/${stem}.cpp)
      file(GENERATE OUTPUT ${source} CONTENT "#include \"${header}\"\n")
      list(APPEND sources ${source})
    endforeach()
  endforeach()
  add_library(${target} OBJECT ${sources})
  # Parsing is the check; neither optimised code nor debug information is needed.
  target_compile_options(${target} PRIVATE -O0 -g0)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  # Test headers name the build and source trees, as the test program defines them.
  target_compile_definitions(${target} PRIVATE QUOVEL_BINARY_DIR="${PROJECT_BINARY_DIR}"
                             QUOVEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endfunction()

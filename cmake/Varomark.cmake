# Shared helpers for the folder libraries, their tests and the benchmarks.

set(VAROMARK_WARNINGS -Wall -Wextra -Wno-unused-parameter)

# vm_library(<name> [DEPS <libs>...])
# One static library made of every .cpp of the calling folder.
function(vm_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB hdrs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT srcs)
    # A folder whose sources are still to come builds as an empty library.
    set(srcs ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${srcs} "// empty\n")
  endif()
  add_library(${name} STATIC ${srcs} ${hdrs})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VAROMARK_WARNINGS})
  if(ARG_DEPS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  endif()
endfunction()

# vm_tests(<name> LIBS <libs>...)
# One GoogleTest executable made of every .cpp of the calling folder, run by CTest headless.
function(vm_tests name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    return()  # a test folder whose tests are still to come
  endif()
  add_executable(${name} ${srcs})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VAROMARK_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VAROMARK_TEST_DATA=${CMAKE_CURRENT_BINARY_DIR}/data"
    TIMEOUT 1200)
endfunction()

# vm_bench(<name> SOURCES <files>... LIBS <libs>...)
function(vm_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VAROMARK_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

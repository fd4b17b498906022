# Shared helpers for the folder libraries, their tests and the benchmarks.

set(VAROMARK_WARNINGS -Wall -Wextra -Wno-unused-parameter)

# Every library sees only the headers of itself and of the libraries it links: its headers are
# staged as links under <build>/include/<target>/<folder>/<name>.h, and that root (never the
# source tree) is what the library hands on to whoever links it. An include of a layer above
# therefore fails to compile.
set(VAROMARK_INCLUDE_ROOT ${CMAKE_BINARY_DIR}/include)

# vm_stage_headers(<target> <root name> <folder> <scope> <headers>...)
# Links each header as <build>/include/<root name>/<folder>/<name> and adds that root to the
# target with the given scope (PUBLIC for what users may include, PRIVATE for the rest).
function(vm_stage_headers target root folder scope)
  set(dir ${VAROMARK_INCLUDE_ROOT}/${root})
  file(REMOVE_RECURSE ${dir})
  file(MAKE_DIRECTORY ${dir}/${folder})
  foreach(h IN LISTS ARGN)
    get_filename_component(n ${h} NAME)
    file(CREATE_LINK ${h} ${dir}/${folder}/${n} SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${scope} ${dir})
endfunction()

# The calling folder as written in includes: "chart/engine" for chart/engine/.
function(vm_folder_prefix out)
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(${out} ${rel} PARENT_SCOPE)
endfunction()

# vm_library(<name> [DEPS <libs>...] [SOURCES <files>...] [HEADERS <files>...]
#            [PRIVATE_HEADERS <files>...])
# One static library made of every .cpp of the calling folder, or of the SOURCES given.
# HEADERS (default: every .h and .def list of the folder but the private ones) are what users
# may include; PRIVATE_HEADERS are seen by the library's own sources only.
function(vm_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;SOURCES;HEADERS;PRIVATE_HEADERS" ${ARGN})
  if(ARG_SOURCES)
    set(srcs ${ARG_SOURCES})
  else()
    file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  if(ARG_HEADERS)
    set(hdrs ${ARG_HEADERS})
  else()
    file(GLOB hdrs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.def)
    if(ARG_PRIVATE_HEADERS)
      list(REMOVE_ITEM hdrs ${ARG_PRIVATE_HEADERS})
    endif()
  endif()
  if(NOT srcs)
    # A folder whose sources are still to come builds as an empty library.
    set(srcs ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${srcs} "// empty\n")
  endif()
  add_library(${name} STATIC ${srcs} ${hdrs} ${ARG_PRIVATE_HEADERS})
  vm_folder_prefix(prefix)
  vm_stage_headers(${name} ${name} ${prefix} PUBLIC ${hdrs})
  if(ARG_PRIVATE_HEADERS)
    vm_stage_headers(${name} ${name}_private ${prefix} PRIVATE ${ARG_PRIVATE_HEADERS})
  endif()
  target_compile_options(${name} PRIVATE ${VAROMARK_WARNINGS})
  if(ARG_DEPS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  endif()
endfunction()

# vm_tests(<name> LIBS <libs>...)
# One GoogleTest executable made of every .cpp of the calling folder, run by CTest headless.
# It sees the headers of the libraries it links and those of its own folder.
function(vm_tests name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    return()  # a test folder whose tests are still to come
  endif()
  add_executable(${name} ${srcs})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
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
  target_compile_options(${name} PRIVATE ${VAROMARK_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

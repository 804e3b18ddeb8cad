# Build helpers shared by every folder of the project.

# Compile options every target of ours gets.
add_library(duskmire_options INTERFACE)
target_compile_options(duskmire_options INTERFACE -Wall -Wextra -Wshadow -Wno-unused-parameter
  $<$<BOOL:${DUSKMIRE_WERROR}>:-Werror>)
if(DUSKMIRE_SANITIZE)
  target_compile_options(duskmire_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
  target_link_options(duskmire_options INTERFACE -fsanitize=address,undefined)
endif()
if(DUSKMIRE_FUZZ)
  target_compile_options(duskmire_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
    -fno-omit-frame-pointer)
  target_link_options(duskmire_options INTERFACE -fsanitize=address,undefined)
endif()

# One static library per layer, lowest first, each linked to the one below: duskmire_layer(<name> <folder>...)
# makes duskmire_<name> of every .cpp below src/<folder>, except those of a folder that has its own
# CMakeLists.txt (it builds a library of its own, such as the SDL backend). A folder may have a deps.cmake
# that adds to DEPS (other targets its library links).
#
# A library's include folder holds links to the source folders of its own layer and those below only, so
# that a file including a header of a higher layer does not compile (tests/layers checks the sources too).
set(DUSKMIRE_LAYER_FOLDERS "" CACHE INTERNAL "")
set(DUSKMIRE_TOP_LAYER "" CACHE INTERNAL "")
function(duskmire_layer name)
  set(folders ${DUSKMIRE_LAYER_FOLDERS} ${ARGN})
  set(DUSKMIRE_LAYER_FOLDERS ${folders} CACHE INTERNAL "")
  set(include_dir ${CMAKE_BINARY_DIR}/layers/${name})
  file(REMOVE_RECURSE ${include_dir})
  file(MAKE_DIRECTORY ${include_dir})
  foreach(folder ${folders})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${include_dir}/${folder} SYMBOLIC)
  endforeach()

  set(sources "")
  set(own_dirs "")
  set(DEPS "")
  foreach(folder ${ARGN})
    set(dir ${CMAKE_SOURCE_DIR}/src/${folder})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp)
    file(GLOB_RECURSE own_lists CONFIGURE_DEPENDS ${dir}/*/CMakeLists.txt)
    foreach(lists ${own_lists})
      get_filename_component(own_dir ${lists} DIRECTORY)
      list(FILTER found EXCLUDE REGEX "^${own_dir}/")
      list(APPEND own_dirs ${own_dir})
    endforeach()
    list(APPEND sources ${found})
    if(EXISTS ${dir}/deps.cmake)
      include(${dir}/deps.cmake)
    endif()
  endforeach()
  set(target duskmire_${name})
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${include_dir})
  target_link_libraries(${target} PUBLIC duskmire_options ${DUSKMIRE_TOP_LAYER} ${DEPS})
  set(DUSKMIRE_TOP_LAYER ${target} CACHE INTERNAL "")
  foreach(own_dir ${own_dirs})
    add_subdirectory(${own_dir})
  endforeach()
endfunction()

# duskmire_test(<name> [sources...] [LIBS ...]): a GoogleTest executable registered with ctest.
function(duskmire_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE duskmire_options ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    DUSKMIRE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    DUSKMIRE_GOLDEN_DIR="${CMAKE_SOURCE_DIR}/tests/golden"
    DUSKMIRE_DATA_DIR="${DUSKMIRE_DATA_DIR}"
    DUSKMIRE_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 900)
endfunction()

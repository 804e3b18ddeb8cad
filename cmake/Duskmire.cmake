# Build helpers shared by every folder of the project.

# Compile options every target of ours gets.
add_library(duskmire_options INTERFACE)
target_compile_options(duskmire_options INTERFACE -Wall -Wextra -Wshadow -Wno-unused-parameter
  $<$<BOOL:${DUSKMIRE_WERROR}>:-Werror>)
target_include_directories(duskmire_options INTERFACE ${CMAKE_SOURCE_DIR}/src)
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

# One static library per subsystem folder, named duskmire_<folder>. Sources are every .cpp below the folder,
# except those of a folder that has its own CMakeLists.txt (it builds a library of its own, such as the SDL
# backend). Each folder may have a deps.cmake that sets DEPS (other targets it links) for its library.
set(DUSKMIRE_LIBRARIES "" CACHE INTERNAL "")
function(duskmire_subsystems)
  set(previous "")
  foreach(sub ${ARGN})
    set(dir ${CMAKE_SOURCE_DIR}/src/${sub})
    if(NOT EXISTS ${dir})
      continue()
    endif()
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    file(GLOB_RECURSE own_lists CONFIGURE_DEPENDS ${dir}/*/CMakeLists.txt)
    foreach(lists ${own_lists})
      get_filename_component(own_dir ${lists} DIRECTORY)
      list(FILTER sources EXCLUDE REGEX "^${own_dir}/")
    endforeach()
    if(NOT sources)
      continue()
    endif()
    set(target duskmire_${sub})
    add_library(${target} STATIC ${sources})
    set(DEPS "")
    if(EXISTS ${dir}/deps.cmake)
      include(${dir}/deps.cmake)
    endif()
    target_link_libraries(${target} PUBLIC duskmire_options ${previous} ${DEPS})
    set(previous ${target})
    set(DUSKMIRE_LIBRARIES ${DUSKMIRE_LIBRARIES} ${target} CACHE INTERNAL "")
    foreach(lists ${own_lists})
      get_filename_component(own_dir ${lists} DIRECTORY)
      add_subdirectory(${own_dir})
    endforeach()
  endforeach()
  # The highest library stands for the whole game below it.
  add_library(duskmire_all INTERFACE)
  target_link_libraries(duskmire_all INTERFACE ${previous})
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
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()

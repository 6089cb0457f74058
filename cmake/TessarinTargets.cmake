# One static library per folder under src/, built from every source file in it, linking the
# folder right below it in TESSARIN_LAYERS (and through it every folder further down).
function(tessarin_folder_library name)
  cmake_parse_arguments(ARG "" "" "QT" ${ARGN})
  list(FIND TESSARIN_LAYERS ${name} layer)
  if(layer EQUAL -1)
    message(FATAL_ERROR "src/${name} is missing from TESSARIN_LAYERS in src/CMakeLists.txt")
  endif()
  math(EXPR below "${layer} + 1")
  list(LENGTH TESSARIN_LAYERS layers)
  set(ARG_DEPENDS "")
  if(below LESS layers)
    list(GET TESSARIN_LAYERS ${below} ARG_DEPENDS)
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER sources EXCLUDE REGEX "/tessarin(-build)?\\.cpp$")
  list(FILTER sources INCLUDE REGEX "\\.cpp$|\\.h$")
  set(cpp_sources ${sources})
  list(FILTER cpp_sources INCLUDE REGEX "\\.cpp$")
  if(cpp_sources)
    add_library(${name} STATIC ${sources})
    set(scope PUBLIC)
    target_compile_options(${name} PRIVATE -Wall -Wextra)
  else()
    # A folder whose code has not been written yet still gives a target to link against.
    add_library(${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${name} ${scope} ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} ${scope} ${ARG_DEPENDS})
  foreach(component ${ARG_QT})
    target_link_libraries(${name} ${scope} Qt6::${component})
  endforeach()
endfunction()

# Every tests/<folder>/*_test.cpp becomes one test program, linked with the folder's library
# and the shared test support; CTest runs each test case as its own test.
function(tessarin_folder_tests folder)
  file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*_test.cpp)
  foreach(source ${test_sources})
    get_filename_component(stem ${source} NAME_WE)
    set(target ${folder}_${stem})
    add_executable(${target} ${source})
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    target_link_libraries(${target} PRIVATE ${folder} test_support)
    # Fixtures live next to the tests, in <folder>/data; the example workspace in the source tree.
    target_compile_definitions(${target} PRIVATE TESSARIN_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/${folder}/data"
                                                 TESSARIN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    gtest_discover_tests(${target}
      DISCOVERY_MODE PRE_TEST
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
      PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 300)
  endforeach()
endfunction()

# One static library per folder under src/, built from every source file in it, linking the folders
# it declares after DEPENDS (and through them whatever those use) and the Qt modules after QT.
function(tessarin_folder_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;QT" ${ARGN})
  foreach(folder ${ARG_DEPENDS})
    if(NOT folder IN_LIST TESSARIN_FOLDERS)
      message(FATAL_ERROR "src/${name} depends on ${folder}, which is no folder of src/")
    endif()
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER sources EXCLUDE REGEX "/tessarin(-build)?\\.cpp$")
  add_library(${name} STATIC ${sources})
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  foreach(component ${ARG_QT})
    target_link_libraries(${name} PUBLIC Qt6::${component})
  endforeach()
endfunction()

# All tests/<folder>/*_test.cpp make one test program per folder, <folder>_tests, linked with the
# folder's library and the shared test support (one link per folder instead of one per file; a gtest
# filter still runs a single test). CTest runs each test case as its own test.
function(tessarin_folder_tests folder)
  file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*_test.cpp)
  if(NOT test_sources)
    return()
  endif()
  set(target ${folder}_tests)
  add_executable(${target} ${test_sources})
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  target_link_libraries(${target} PRIVATE ${folder} test_support)
  # Fixtures live next to the tests, in <folder>/data; the example workspace in the source tree.
  target_compile_definitions(${target} PRIVATE TESSARIN_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/${folder}/data"
                                               TESSARIN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 300)
endfunction()

# One library per source folder: every .cpp in the folder (not below it) is part of it,
# so adding a file needs no edit here. EXCLUDE is a regular expression of files to leave out.
function(tinctor_library name)
  cmake_parse_arguments(ARG "" "EXCLUDE" "DEPS;SUBDIRS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(sub IN LISTS ARG_SUBDIRS)
    file(GLOB more CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp)
    list(APPEND sources ${more})
  endforeach()
  if(ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  if(NOT sources)
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# One test executable per area: every .cpp in tests/<area>/, registered with CTest
# under the given labels. Extra ENVIRONMENT entries, a WRAPPER (xvfb-run) and an EXCLUDE
# regular expression of files to leave out are optional.
function(tinctor_test name)
  cmake_parse_arguments(ARG "" "WRAPPER;TIMEOUT;EXCLUDE" "DEPS;LABELS;ENVIRONMENT" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    TINCTOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}" TINCTOR_BINARY_DIR="${PROJECT_BINARY_DIR}")
  if(ARG_WRAPPER)
    add_test(NAME ${name} COMMAND ${ARG_WRAPPER} $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "${ARG_ENVIRONMENT}")
  if("x11" IN_LIST ARG_LABELS)
    # One real X server test program at a time: a server starting up disturbs the
    # connections of the others (see tests/run-x11.sh).
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK x11_server)
  endif()
endfunction()

# A Google Benchmark program of every .cpp in the folder, run by the bench target.
function(tinctor_bench name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT benchmark_FOUND OR NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
  set_property(GLOBAL APPEND PROPERTY TINCTOR_BENCHES ${name})
endfunction()

# Copies data files (a glob pattern under data/) into a folder of the build tree, where
# the program beside it finds them as an installed one finds them in share/tinctor/.
function(tinctor_stage_data pattern dest)
  file(GLOB files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/${pattern})
  foreach(file IN LISTS files)
    get_filename_component(name ${file} NAME)
    configure_file(${file} ${dest}/${name} COPYONLY)
  endforeach()
endfunction()

# varnola_add_test(<name> SOURCES <files...> [GUI] [LIBS <targets...>] [COST <seconds>])
#
# Registers a GoogleTest program with CTest, one CTest entry per test case.
# GUI tests link the window library and run on the offscreen platform, so
# they need no display; the others link only the core. COST names the tests
# that wait in real time: a parallel run starts them first, so that a fresh
# build directory, with no timings kept from an earlier run, is not left
# waiting on one of them at the end.
include(GoogleTest)

# Instrumented code runs several times slower: the virtual-time week alone
# takes minutes under the sanitizers.
if(VARNOLA_SANITIZE)
  set(VARNOLA_TEST_TIMEOUT 3600)
else()
  set(VARNOLA_TEST_TIMEOUT 120)
endif()

# Each test program compiles as one file: its files share most of what they
# instantiate from GoogleTest and Qt, and compiled apart each paid for it
# again. The sanitizer build compiles them one by one, so a file that leans
# on another's includes or helpers is found there.
option(VARNOLA_UNITY_TESTS "Compile each test program as one translation unit" ON)

function(varnola_add_test name)
  cmake_parse_arguments(ARG "GUI" "COST" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_COST)
    set(ARG_COST 0)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  if(VARNOLA_UNITY_TESTS)
    set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0)
    # A fixture in a file's anonymous namespace is right in a file of its
    # own; GCC warns about it only because the file is now included.
    target_compile_options(${name} PRIVATE -Wno-subobject-linkage)
  endif()
  add_dependencies(varnola-tests ${name})
  target_link_libraries(${name} PRIVATE varnola_test_fakes GTest::gtest GTest::gmock ${ARG_LIBS})
  set(_env "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/test-runtime")
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE varnola_ui varnola_test_main_gui)
    target_precompile_headers(${name} REUSE_FROM varnola_test_main_gui)
    list(APPEND _env "QT_QPA_PLATFORM=offscreen")
  else()
    target_link_libraries(${name} PRIVATE varnola_core varnola_test_main_core)
    target_precompile_headers(${name} REUSE_FROM varnola_test_main_core)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 30
    PROPERTIES ENVIRONMENT "${_env}" TIMEOUT ${VARNOLA_TEST_TIMEOUT} COST ${ARG_COST})
endfunction()

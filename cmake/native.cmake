option(CANTORIA_FUZZ "build the libFuzzer targets (needs clang)" OFF)
# Native build: the core, its GoogleTest tests, benchmarks and fuzz targets.

if(NOT CANTORIA_FUZZ)
find_package(GTest REQUIRED)
include(GoogleTest)

# One test binary: every tests/native/*.cpp.
file(GLOB NATIVE_TEST_SOURCES CONFIGURE_DEPENDS tests/native/*.cpp tests/support/*.cpp)
list(FILTER NATIVE_TEST_SOURCES EXCLUDE REGEX "fuzz_work_dir")
add_executable(core_tests ${NATIVE_TEST_SOURCES})
target_link_libraries(core_tests cantoria_core GTest::gtest GTest::gtest_main)
target_compile_definitions(core_tests PRIVATE CANTORIA_FIXTURES="${CMAKE_SOURCE_DIR}/tests/fixtures"
                           CANTORIA_SOURCE="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(core_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)

# The allocation count test replaces malloc and operator new in a program of its
# own; the sanitizers have their own allocator, so it is built without them.
if(NOT CANTORIA_SANITIZE)
  add_executable(alloc_tests tests/alloc/test_no_alloc.cpp tests/support/case_file.cpp
                 tests/support/test_files.cpp tests/support/files.cpp)
  target_link_libraries(alloc_tests cantoria_core GTest::gtest GTest::gtest_main)
  target_compile_definitions(alloc_tests PRIVATE CANTORIA_SOURCE="${CMAKE_SOURCE_DIR}")
  add_test(NAME alloc.no_allocation COMMAND alloc_tests)
endif()

# Benchmarks: each bench/*.cpp is a program of its own.
find_package(benchmark QUIET)
if(benchmark_FOUND AND NOT CANTORIA_SANITIZE AND NOT CANTORIA_COVERAGE)
  file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS bench/*.cpp)
  foreach(src ${BENCH_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src} bench/support/library_gen.cpp bench/support/floors.cpp)
    target_link_libraries(${name} cantoria_core benchmark::benchmark)
  endforeach()
endif()
endif()

# Fuzz targets (clang's libFuzzer): each fuzz/*.cpp is one target, built against
# the core compiled with the fuzzer's instrumentation.
if(CANTORIA_FUZZ)
  set(FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
  target_compile_options(cantoria_core PRIVATE ${FUZZ_FLAGS})
  file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS fuzz/*.cpp)
  foreach(src ${FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src} tests/support/fuzz_work_dir.cpp
                   tests/support/files.cpp)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} cantoria_core)
  endforeach()
endif()

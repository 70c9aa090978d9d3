# Native build: the logic on the simulated Windows, its unit tests and the
# simulated-HTPC runner (the main job).
enable_testing()

file(GLOB SLH_SIM_SOURCES CONFIGURE_DEPENDS platform/sim/*.cpp)
add_library(slh_platform_sim STATIC ${SLH_SIM_SOURCES})
target_link_libraries(slh_platform_sim PUBLIC slh_logic)

file(GLOB SLH_RUNNER_SOURCES CONFIGURE_DEPENDS tools/runner/*.cpp)
add_library(slh_runner STATIC ${SLH_RUNNER_SOURCES})
target_link_libraries(slh_runner PUBLIC slh_platform_sim)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(slh_runner PRIVATE -Wall -Wextra)
endif()

add_executable(slumberhold-sim tools/runner/main/RunnerMain.cpp)
target_link_libraries(slumberhold-sim PRIVATE slh_runner)

# libFuzzer targets for the readers of other programs' data (SLH_FUZZ).
if(SLH_FUZZ)
    add_subdirectory(tests/fuzz)
endif()

# The main job needs no test framework; the tests are built when it is there.
find_package(GTest)
if(NOT GTest_FOUND)
    return()
endif()
find_package(Threads REQUIRED)
include(GoogleTest)

file(GLOB SLH_UNIT_TEST_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(slh_unit_tests ${SLH_UNIT_TEST_SOURCES})
target_link_libraries(slh_unit_tests PRIVATE slh_runner GTest::gtest_main Threads::Threads)
target_compile_definitions(slh_unit_tests PRIVATE SLH_SCENARIO_DIR="${CMAKE_SOURCE_DIR}/tests/scenarios")
gtest_discover_tests(slh_unit_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/wine/CMakeLists.txt)
    add_subdirectory(tests/wine)
endif()

# Benchmarks, built when Google Benchmark is installed; never run by ctest.
find_package(benchmark QUIET)
if(benchmark_FOUND)
    add_executable(slh_evaluate_awake_state_bench tests/bench/EvaluateAwakeStateBench.cpp)
    target_link_libraries(slh_evaluate_awake_state_bench PRIVATE slh_platform_sim benchmark::benchmark Threads::Threads)
endif()

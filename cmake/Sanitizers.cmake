# Instrumented simulator builds, each in a build tree of its own:
#
#   -DSLH_SANITIZE=ON  (g++, build/asan): everything built with AddressSanitizer
#       and UndefinedBehaviorSanitizer; the first finding ends the program, so a
#       test that meets one fails.
#   -DSLH_FUZZ=ON      (clang++, build/fuzz): everything instrumented for
#       libFuzzer as well, and the fuzz targets of tests/fuzz are added.
#
# Included by the top CMakeLists.txt before any target is defined, so that the
# options reach every library the tests link.
option(SLH_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(SLH_FUZZ "Build the libFuzzer targets (clang only)" OFF)

if(WIN32 AND (SLH_SANITIZE OR SLH_FUZZ))
    message(FATAL_ERROR "SLH_SANITIZE and SLH_FUZZ are for the simulator build")
endif()

set(SLH_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

if(SLH_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "SLH_FUZZ needs clang++ (-DCMAKE_CXX_COMPILER=clang++)")
    endif()
    # fuzzer-no-link: coverage for the fuzzer's guidance everywhere; only the
    # fuzz targets themselves link libFuzzer's main.
    # -O1 with line tables: a fuzzer wants many runs per second, not the
    # slower compile of -O2, and a crash report still names file and line.
    add_compile_options(-fsanitize=fuzzer-no-link ${SLH_SANITIZER_FLAGS} -O1 -gline-tables-only)
    add_link_options(${SLH_SANITIZER_FLAGS})
elseif(SLH_SANITIZE)
    # With the sanitizers, -O2 takes several times as long to compile as
    # without; -Og with line tables builds about as fast as the plain tree and
    # still runs the tests quickly, with file and line in every report.
    add_compile_options(${SLH_SANITIZER_FLAGS} -Og -g1)
    add_link_options(${SLH_SANITIZER_FLAGS})
endif()

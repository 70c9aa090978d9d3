# Windows build (mingw-w64): Slumberhold.exe and the test helper programs.
# Included by the top CMakeLists.txt when WIN32 (a cmake/mingw-*.cmake
# toolchain file); the logic (slh_logic) is defined there.
enable_language(RC)

# Static C and C++ runtimes (the toolchains use the posix thread model, so
# winpthread too): the program must run on a bare Windows, without the
# mingw-w64 DLLs beside it. Helper programs link this target as well.
add_library(slh_win32_static_runtime INTERFACE)
target_link_options(slh_win32_static_runtime INTERFACE -static -static-libgcc -static-libstdc++)

# The real Windows backend of the platform interfaces, without the entry
# point, so that helper programs can use it too. Anything newer than Windows
# XP is looked up at run time, never linked here.
file(GLOB SLH_WIN32_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/win32/*.cpp)
list(REMOVE_ITEM SLH_WIN32_SOURCES
    ${CMAKE_SOURCE_DIR}/platform/win32/Main.cpp
    ${CMAKE_SOURCE_DIR}/platform/win32/XpImports.cpp)
add_library(slh_platform_win32 STATIC ${SLH_WIN32_SOURCES})
target_include_directories(slh_platform_win32 PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(slh_platform_win32 PUBLIC user32 gdi32 advapi32 shell32 version netapi32 comctl32 ole32)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(slh_platform_win32 PRIVATE -Wall -Wextra)
endif()

# The resource script takes the version numbers from project().
foreach(part MAJOR MINOR PATCH TWEAK)
    if(NOT PROJECT_VERSION_${part})
        set(PROJECT_VERSION_${part} 0)
    endif()
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/resources/Slumberhold.rc.in
               ${CMAKE_BINARY_DIR}/resources/Slumberhold.rc @ONLY)

# XpImports.cpp must be part of the executable itself (see the file).
add_executable(Slumberhold WIN32
    ${CMAKE_SOURCE_DIR}/platform/win32/Main.cpp
    ${CMAKE_SOURCE_DIR}/platform/win32/XpImports.cpp
    ${CMAKE_BINARY_DIR}/resources/Slumberhold.rc)
# windres finds Slumberhold.ico, named in the generated script, here.
target_include_directories(Slumberhold PRIVATE ${CMAKE_SOURCE_DIR}/resources)
set_source_files_properties(${CMAKE_BINARY_DIR}/resources/Slumberhold.rc PROPERTIES
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/Slumberhold.ico;${CMAKE_SOURCE_DIR}/resources/Slumberhold.manifest")
target_link_libraries(Slumberhold PRIVATE slh_logic slh_platform_win32 slh_win32_static_runtime)
# Sections page-aligned in the file too: Wine then maps the image from the
# file (shared, clean pages) instead of reading it into private memory.
target_link_options(Slumberhold PRIVATE -Wl,--file-alignment,4096)
# Debug information goes to Slumberhold.exe.debug beside the program. Inside
# the executable it is part of the image, which Wine loads: megabytes held
# all day.
if(CMAKE_OBJCOPY AND CMAKE_BUILD_TYPE MATCHES "^(Debug|RelWithDebInfo)$")
    add_custom_command(TARGET Slumberhold POST_BUILD
        COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:Slumberhold> $<TARGET_FILE:Slumberhold>.debug
        COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=$<TARGET_FILE:Slumberhold>.debug
                $<TARGET_FILE:Slumberhold>
        VERBATIM)
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(Slumberhold PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra>)
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/helpers/CMakeLists.txt)
    add_subdirectory(tests/helpers)
endif()

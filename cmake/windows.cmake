# Windows targets (MinGW-w64): Setup.exe plus the test programs that run beside it under Wine.
enable_language(RC)

# Small: optimised for size before speed (-Oz: the launcher waits for people and
# tools, never for its own code), no unwind tables (no exceptions), unused functions dropped,
# stripped, and our own entry point (src/startup/process_entry.cpp) in place of the run-time
# library's start-up, which the launcher does not need (some 9 KiB).  The run-time
# library itself, msvcrt.dll, still serves _splitpath and _vsnprintf: it readies
# itself when it is loaded.  No link-time optimisation: with the start-up left out
# this linker crashes on it, and the entry saves more than it did.
# Reproducible: no link time stamp (so the PE checksum is stable too), no compiler
# identification strings, and no build folder in the file, wherever the clone lies.
set(WIN_COMPILE_OPTIONS -Oz -Wall -Wextra -Werror -fno-exceptions -fno-rtti
    -fno-asynchronous-unwind-tables -fno-unwind-tables -fno-ident -ffunction-sections
    -ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(WIN_ENTRY LauncherEntry)
else()
    set(WIN_ENTRY _LauncherEntry@0)
endif()
set(WIN_ENTRY_SOURCE ${CMAKE_SOURCE_DIR}/src/startup/process_entry.cpp)
# Terminal-services aware, as other Windows linkers mark a program by default:
# "Otherwise, it retrieves the path of the private Windows directory for the
# user" (GetWindowsDirectoryA, on a Remote Desktop session host), and the
# paths of the system's tools, the INF folder and the logs would name it.
set(WIN_LINK_OPTIONS -Os -static -s -nostartfiles -Wl,-e,${WIN_ENTRY} -Wl,--gc-sections
    -Wl,--no-insert-timestamp -Wl,--tsaware)

add_executable(Setup WIN32 ${LAUNCHER_SOURCES} ${WIN_ENTRY_SOURCE} res/setup.rc)
target_include_directories(Setup PRIVATE src res ${BRAND_OUTPUT_DIR})
target_compile_options(Setup PRIVATE ${WIN_COMPILE_OPTIONS})
target_link_options(Setup PRIVATE ${WIN_LINK_OPTIONS})
target_link_libraries(Setup PRIVATE user32 gdi32 kernel32)
set_target_properties(Setup PROPERTIES
    OUTPUT_NAME Setup
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# windres reads the manifest and icon relative to the script's folder.
set_source_files_properties(res/setup.rc PROPERTIES
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/setup.manifest;${BRAND_ICON_PATH};${CMAKE_SOURCE_DIR}/res/resource.h;${BRAND_OUTPUT_DIR}/brand.h")

# Programs used by the end-to-end tests (they run in the Wine prefix beside Setup.exe).
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
    add_subdirectory(tests/e2e)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/bench/CMakeLists.txt)
    add_subdirectory(tools/bench)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/planted/CMakeLists.txt)
    add_subdirectory(tests/e2e/planted)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/crosscheck/CMakeLists.txt)
    add_subdirectory(tests/crosscheck)
endif()

# Linux host: the launcher's sources compiled against the stand-in, with the unit tests.
if(LAUNCHER_FUZZ)
    include(${CMAKE_CURRENT_LIST_DIR}/fuzz.cmake)
    return()
endif()
set(HOST_WARNINGS -Wall -Wextra -Werror)
set(HOST_SANITIZERS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_compile_options(${HOST_WARNINGS} ${HOST_SANITIZERS})
add_link_options(${HOST_SANITIZERS})

add_subdirectory(standin)

add_library(launcher STATIC ${LAUNCHER_SOURCES})
target_include_directories(launcher PUBLIC src res ${BRAND_OUTPUT_DIR})
target_link_libraries(launcher PUBLIC standin)

enable_testing()
find_package(GTest REQUIRED)
add_subdirectory(tests/unit)
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/crosscheck/CMakeLists.txt)
    add_subdirectory(tests/crosscheck)
endif()

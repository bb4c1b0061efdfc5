# Fuzz build (clang, libFuzzer): the launcher's sources against the stand-in, with
# coverage instrumentation, AddressSanitizer and UndefinedBehaviorSanitizer.
# Configured by tests/fuzz/run.sh with -DLAUNCHER_FUZZ=ON; the host preset stays g++.
set(FUZZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_compile_options(-Wall -Wextra -g -O1 -fsanitize=fuzzer-no-link ${FUZZ_SANITIZERS})
add_link_options(${FUZZ_SANITIZERS})

add_subdirectory(standin)

add_library(launcher STATIC ${LAUNCHER_SOURCES})
target_include_directories(launcher PUBLIC src res ${BRAND_OUTPUT_DIR})
target_link_libraries(launcher PUBLIC standin)

add_subdirectory(tests/fuzz)

# Settings shared by every target of the project.
add_library(prezzario_common INTERFACE)
target_compile_features(prezzario_common INTERFACE cxx_std_20)
target_compile_options(prezzario_common INTERFACE -Wall -Wextra -Wpedantic -Wno-unused-parameter)
target_compile_definitions(prezzario_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_URL_CAST_FROM_STRING
    QT_USE_QSTRINGBUILDER)
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${CMAKE_BINARY_DIR}/generated/Version.h @ONLY)
target_include_directories(prezzario_common INTERFACE ${CMAKE_BINARY_DIR}/generated)
if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
    set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()

# Checked builds, each in a build folder of its own (./build.sh sanitize, ./build.sh fuzz). Every target of
# ours links prezzario_common, so the flags reach all of them, compile and link alike; the programs then
# need the sanitizer environment that build.sh sets (suppressions under tests/sanitizer/), also while
# building, since test discovery runs the test programs.
option(PREZZARIO_SANITIZE "Build everything with AddressSanitizer (leaks included) and UndefinedBehaviorSanitizer" OFF)
option(PREZZARIO_FUZZ "Build the libFuzzer targets of tests/fuzz (clang only)" OFF)
set(prezzario_sanitizer_flags -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
if(PREZZARIO_SANITIZE AND PREZZARIO_FUZZ)
    message(FATAL_ERROR "PREZZARIO_SANITIZE and PREZZARIO_FUZZ need build folders of their own")
elseif(PREZZARIO_SANITIZE)
    target_compile_options(prezzario_common INTERFACE ${prezzario_sanitizer_flags})
    target_link_options(prezzario_common INTERFACE ${prezzario_sanitizer_flags})
    # prezzario-calc keeps every check but the vptr one: the office's objects reach it through the UNO
    # bridge as proxies whose vtables the bridge makes at run time without type information, so that check
    # would stop the helper at its first call into the office.
    target_compile_options(prezzario_common INTERFACE
        $<$<STREQUAL:$<TARGET_PROPERTY:NAME>,prezzario-calc>:-fno-sanitize=vptr>)
elseif(PREZZARIO_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "PREZZARIO_FUZZ needs clang (libFuzzer), e.g. CXX=clang++-14")
    endif()
    # Our libraries carry the fuzzer's coverage hooks; only the fuzz programs link libFuzzer itself.
    target_compile_options(prezzario_common INTERFACE -fsanitize=fuzzer-no-link ${prezzario_sanitizer_flags})
    target_link_options(prezzario_common INTERFACE ${prezzario_sanitizer_flags})
endif()

# Settings shared by every target of the project.
add_library(prezzario_common INTERFACE)
target_compile_features(prezzario_common INTERFACE cxx_std_20)
target_compile_options(prezzario_common INTERFACE -Wall -Wextra -Wpedantic -Wno-unused-parameter)
target_compile_definitions(prezzario_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_URL_CAST_FROM_STRING
    QT_USE_QSTRINGBUILDER)
if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
    set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()

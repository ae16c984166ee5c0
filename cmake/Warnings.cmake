# Compiler settings every target of the project shares.
add_library(zavo_options INTERFACE)
target_compile_features(zavo_options INTERFACE cxx_std_20)
target_compile_options(zavo_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow=local -Wnon-virtual-dtor -Wcast-align
    -Wno-missing-field-initializers)
if(ZAVO_WERROR)
    target_compile_options(zavo_options INTERFACE -Werror)
endif()

set(ZAVO_SANITIZE "" CACHE STRING "Sanitizers to build with: address;undefined or thread")
if(ZAVO_SANITIZE)
    list(JOIN ZAVO_SANITIZE "," _zavo_san)
    # Applied globally so that JUCE and every test share one instrumented runtime.
    add_compile_options(-fsanitize=${_zavo_san} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=${_zavo_san})
endif()

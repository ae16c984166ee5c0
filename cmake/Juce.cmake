# JUCE is compiled once, into one static library that the GUI layer and the
# cleanup tool link. Consumers see the module headers and the same settings.
find_package(JUCE CONFIG REQUIRED)

add_library(zavo_juce STATIC ${CMAKE_CURRENT_LIST_DIR}/juce_unit.cpp)
target_link_libraries(zavo_juce
    PRIVATE
        juce::juce_core juce::juce_events juce::juce_graphics
        juce::juce_gui_basics juce::juce_data_structures
    PUBLIC
        juce::juce_recommended_config_flags)
set(_zavo_juce_defs
    JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
    JUCE_STANDALONE_APPLICATION=1
    JUCE_USE_CURL=0
    JUCE_WEB_BROWSER=0
    JUCE_LOAD_CURL_SYMBOLS_LAZILY=1
    JUCE_DISPLAY_SPLASH_SCREEN=0
    # JUCE's statics go before ours at exit; its leak counter would then report
    # glyph caches our fonts still hold. The sanitizers watch leaks instead.
    JUCE_CHECK_MEMORY_LEAKS=0
    # A driver carries JUCE too: loading it prints nothing into its host's output.
    JUCE_DISABLE_JUCE_VERSION_PRINTING=1
    JUCE_USE_XRANDR=1
    JUCE_USE_XINERAMA=1
    JUCE_MODAL_LOOPS_PERMITTED=1
    JUCE_MODULE_AVAILABLE_juce_core=1
    JUCE_MODULE_AVAILABLE_juce_events=1
    JUCE_MODULE_AVAILABLE_juce_graphics=1
    JUCE_MODULE_AVAILABLE_juce_gui_basics=1
    JUCE_MODULE_AVAILABLE_juce_data_structures=1)
target_compile_definitions(zavo_juce PUBLIC ${_zavo_juce_defs}
    # JUCE on Linux decides debug by _DEBUG; every unit that includes it must agree.
    $<$<CONFIG:Debug>:DEBUG=1 _DEBUG=1>)
# Debian's JUCE decodes images with the system's libpng and libjpeg.
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(ZAVO_FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
target_link_libraries(zavo_juce PUBLIC PNG::PNG JPEG::JPEG PkgConfig::ZAVO_FONTCONFIG Threads::Threads ${CMAKE_DL_LIBS} rt)
target_include_directories(zavo_juce SYSTEM PUBLIC /usr/share/juce/modules)
# JUCE's own sources are not ours to keep warning-free.
target_compile_options(zavo_juce PRIVATE -w)

# Builds the JUCE modules the plug-in uses, from Debian's juce-modules-source, into one
# position-independent static library with hidden symbols.
set(JUCE_MODULES_DIR "/usr/share/juce/modules" CACHE PATH "Folder holding the JUCE 7 modules")

if(NOT EXISTS "${JUCE_MODULES_DIR}/juce_core/juce_core.cpp")
  message(FATAL_ERROR "JUCE modules not found in ${JUCE_MODULES_DIR}: install juce-modules-source")
endif()

if(NOT WIN32)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(JUCE_SYSTEM_LIBS REQUIRED IMPORTED_TARGET freetype2 libpng libjpeg zlib)
endif()
find_package(Threads REQUIRED)

set(CORVADEL_JUCE_MODULES juce_core juce_events juce_data_structures juce_graphics juce_gui_basics juce_audio_basics)

set(juce_sources)
foreach(module IN LISTS CORVADEL_JUCE_MODULES)
  list(APPEND juce_sources "${JUCE_MODULES_DIR}/${module}/${module}.cpp")
endforeach()

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/JuceForMingw.cmake)
endif()

add_library(juce_modules STATIC ${juce_sources})
set_target_properties(juce_modules PROPERTIES
  POSITION_INDEPENDENT_CODE ON
  CXX_VISIBILITY_PRESET hidden
  VISIBILITY_INLINES_HIDDEN ON)

set(juce_definitions
  JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
  JUCE_STANDALONE_APPLICATION=0
  JUCE_MODAL_LOOPS_PERMITTED=1
  JUCE_WEB_BROWSER=0
  JUCE_USE_CURL=0
  JUCE_INCLUDE_ZLIB_CODE=0
  JUCE_INCLUDE_PNG_CODE=0
  JUCE_INCLUDE_JPEGLIB_CODE=0
  JUCE_DISPLAY_SPLASH_SCREEN=0
  JUCE_USE_DARK_SPLASH_SCREEN=1)
foreach(module IN LISTS CORVADEL_JUCE_MODULES)
  list(APPEND juce_definitions JUCE_MODULE_AVAILABLE_${module}=1)
endforeach()

target_compile_definitions(juce_modules PUBLIC ${juce_definitions})
target_include_directories(juce_modules SYSTEM PUBLIC "${JUCE_MODULES_DIR}")
target_compile_options(juce_modules PRIVATE -w)
if(WIN32)
  target_link_libraries(juce_modules PUBLIC ${juce_mingw_libs} Threads::Threads)
else()
  target_link_libraries(juce_modules PUBLIC PkgConfig::JUCE_SYSTEM_LIBS Threads::Threads ${CMAKE_DL_LIBS} rt)
endif()

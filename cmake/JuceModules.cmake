# Builds the JUCE modules, from Debian's juce-modules-source, once for the platform being built,
# into position-independent static libraries with hidden symbols that every target links: the
# VST 2 plug-in, the VST 3 and LV2 plug-ins, the tools and the test programs.
#
# One configuration serves them all, with a single exception: juce_audio_processors exists in two
# variants. The plug-ins link `juce_plugin_processors`, without any plug-in hosting; the test hosts
# that load the VST 3 and LV2 bundles link `juce_host_processors`, the same module compiled with
# JUCE's VST 3 (and, on Linux, LV2) hosting, which a plug-in must not carry. Every other module is
# compiled once, in `juce_modules`.
set(JUCE_MODULES_DIR "/usr/share/juce/modules" CACHE PATH "Folder holding the JUCE 7 modules")

if(NOT EXISTS "${JUCE_MODULES_DIR}/juce_core/juce_core.cpp")
  message(FATAL_ERROR "JUCE modules not found in ${JUCE_MODULES_DIR}: install juce-modules-source")
endif()

if(NOT WIN32)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(JUCE_SYSTEM_LIBS REQUIRED IMPORTED_TARGET freetype2 libpng libjpeg zlib)
endif()
find_package(Threads REQUIRED)

# juce_gui_extra is here for juce_audio_processors, which depends on it; compiled into the same
# configuration, it also gives juce_gui_basics the X11 embedding that the test hosts' plug-in
# windows need.
set(CORVADEL_JUCE_MODULES juce_core juce_events juce_data_structures juce_graphics juce_gui_basics
    juce_gui_extra juce_audio_basics)

set(juce_sources)
foreach(module IN LISTS CORVADEL_JUCE_MODULES)
  list(APPEND juce_sources "${JUCE_MODULES_DIR}/${module}/${module}.cpp")
endforeach()

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/JuceForMingw.cmake)
endif()

set(juce_definitions
  JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
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

# Sets what every library of the framework shares: hidden, position-independent code, the
# framework's headers, its own warnings and debug information left out, and each module its own
# unity file as JUCE writes it.
function(corvadel_juce_library target)
  set_target_properties(${target} PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    UNITY_BUILD OFF)
  target_include_directories(${target} SYSTEM PUBLIC "${JUCE_MODULES_DIR}")
  # No debug information: it adds a quarter to the framework's compile time (measured here on
  # juce_gui_extra), and the project's own code keeps its own.
  target_compile_options(${target} PRIVATE -w -g0)
  if(WIN32)
    # gui_basics and the hosting code have more sections than a plain COFF object can hold.
    target_compile_options(${target} PRIVATE -Wa,-mbig-obj)
  endif()
endfunction()

add_library(juce_modules STATIC ${juce_sources})
corvadel_juce_library(juce_modules)
target_compile_definitions(juce_modules PUBLIC ${juce_definitions})
if(WIN32)
  target_link_libraries(juce_modules PUBLIC ${juce_mingw_libs} Threads::Threads)
else()
  target_link_libraries(juce_modules PUBLIC PkgConfig::JUCE_SYSTEM_LIBS Threads::Threads ${CMAKE_DL_LIBS} rt)
endif()

# The two variants of juce_audio_processors. The hosting code reads the VST 3 SDK and the LV2
# libraries that Debian ships inside the module.
set(juce_processors_dir ${JUCE_MODULES_DIR}/juce_audio_processors)
set(juce_lv2_sdk ${juce_processors_dir}/format_types/LV2_SDK)

add_library(juce_plugin_processors STATIC ${juce_processors_dir}/juce_audio_processors.cpp)
corvadel_juce_library(juce_plugin_processors)
target_compile_definitions(juce_plugin_processors PUBLIC JUCE_MODULE_AVAILABLE_juce_audio_processors=1)
target_link_libraries(juce_plugin_processors PUBLIC juce_modules)

# Built only for the test hosts that link it.
add_library(juce_host_processors STATIC EXCLUDE_FROM_ALL ${juce_processors_dir}/juce_audio_processors.cpp)
corvadel_juce_library(juce_host_processors)
target_compile_definitions(juce_host_processors PUBLIC JUCE_MODULE_AVAILABLE_juce_audio_processors=1 JUCE_PLUGINHOST_VST3=1)
target_include_directories(juce_host_processors SYSTEM PRIVATE ${juce_processors_dir}/format_types/VST3_SDK)
if(NOT WIN32)
  target_sources(juce_host_processors PRIVATE ${juce_processors_dir}/juce_audio_processors_lv2_libs.cpp)
  target_compile_definitions(juce_host_processors PUBLIC JUCE_PLUGINHOST_LV2=1)
  target_include_directories(juce_host_processors SYSTEM PRIVATE
    ${juce_lv2_sdk} ${juce_lv2_sdk}/lv2 ${juce_lv2_sdk}/serd ${juce_lv2_sdk}/sord ${juce_lv2_sdk}/sord/src
    ${juce_lv2_sdk}/sratom ${juce_lv2_sdk}/lilv ${juce_lv2_sdk}/lilv/src)
endif()
target_link_libraries(juce_host_processors PUBLIC juce_modules)

# Called once the framework's CMake package is loaded (for juce_add_plugin and its clients): its
# module targets keep giving their headers, definitions and system libraries, but no longer
# compile the modules' sources into each target that links them; the libraries above hold those.
function(corvadel_use_prebuilt_juce_modules)
  foreach(module IN LISTS CORVADEL_JUCE_MODULES ITEMS juce_audio_processors)
    if(NOT TARGET ${module})
      message(FATAL_ERROR "The framework's CMake package has no target ${module}")
    endif()
    set_target_properties(${module} PROPERTIES INTERFACE_SOURCES "")
  endforeach()
endfunction()

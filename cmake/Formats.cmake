# The VST 3 and LV2 plug-ins: JUCE's own clients for those formats (Debian's JUCE CMake package)
# around the adapter in formats/, which drives the same filter as the VST 2 bridge. The chord
# player, its editor and the framework are the libraries the VST 2 links (corvadel_engine,
# juce_modules), with juce_audio_processors beside them: each binary holds one copy of the
# framework. The bundles land beside Corvadel.so (Linux: VST 3 and LV2) or Corvadel.dll
# (Windows: VST 3).
if(WIN32)
  # The framework's CMake package is the build machine's own, outside the cross compiler's root,
  # and its version file refuses any target whose pointers are not the build machine's width.
  # What it defines is the modules' sources and the build machine's juceaide, right for any
  # target: its configuration is read directly.
  file(GLOB juce_package_config /usr/lib/*/cmake/JUCE-7.0.5/JUCEConfig.cmake /usr/lib/cmake/JUCE-7.0.5/JUCEConfig.cmake)
  if(NOT juce_package_config)
    message(FATAL_ERROR "JUCE 7.0.5's CMake package not found: install juce-modules-source")
  endif()
  list(GET juce_package_config 0 juce_package_config)
  include(${juce_package_config})
  set(corvadel_formats VST3)
else()
  find_package(JUCE 7.0.5 CONFIG REQUIRED)
  set(corvadel_formats VST3 LV2)
endif()
corvadel_use_prebuilt_juce_modules()
include(${CMAKE_CURRENT_LIST_DIR}/ProductIdentity.cmake)

# Each format's target compiles that format's client alone. JUCE's CMake would compile every
# client source of the module into it (the other formats' compile to nothing), JUCE's VST 2 client
# among them, which this project neither uses nor builds.
foreach(format IN LISTS corvadel_formats)
  get_target_property(client_sources juce_audio_plugin_client_${format} INTERFACE_SOURCES)
  list(FILTER client_sources INCLUDE REGEX "/juce_audio_plugin_client_${format}\\.cpp$")
  list(LENGTH client_sources client_source_count)
  if(NOT client_source_count EQUAL 1)
    message(FATAL_ERROR "JUCE's ${format} client source not found among the module's sources")
  endif()
  set_target_properties(juce_audio_plugin_client_${format} PROPERTIES INTERFACE_SOURCES "${client_sources}")
endforeach()

juce_add_plugin(CorvadelPlugin
  PRODUCT_NAME "${CORVADEL_name}"
  COMPANY_NAME "${CORVADEL_vendor}"
  COMPANY_WEBSITE "${CORVADEL_vendorWebsite}"
  COMPANY_EMAIL "${CORVADEL_vendorEmail}"
  DESCRIPTION "${CORVADEL_description}"
  VERSION "${CORVADEL_versionText}"
  PLUGIN_MANUFACTURER_CODE "${CORVADEL_manufacturerCode}"
  PLUGIN_CODE "${CORVADEL_pluginCode}"
  IS_SYNTH TRUE
  NEEDS_MIDI_INPUT TRUE
  NEEDS_MIDI_OUTPUT TRUE
  IS_MIDI_EFFECT FALSE
  EDITOR_WANTS_KEYBOARD_FOCUS TRUE
  VST3_CATEGORIES Instrument Synth
  LV2URI "${CORVADEL_lv2Uri}"
  FORMATS ${corvadel_formats})

# JUCE's client sources are compiled one by one, as JUCE writes them.
set_target_properties(CorvadelPlugin PROPERTIES UNITY_BUILD OFF)
foreach(format IN LISTS corvadel_formats)
  set_target_properties(CorvadelPlugin_${format} PROPERTIES UNITY_BUILD OFF)
endforeach()
if(TARGET juce_lv2_helper)
  set_target_properties(juce_lv2_helper PROPERTIES UNITY_BUILD OFF)
endif()

file(GLOB formats_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/formats/*.cpp)
if(WIN32)
  list(FILTER formats_sources EXCLUDE REGEX "/FrameworkXErrorFilter\\.cpp$")
endif()
target_sources(CorvadelPlugin PRIVATE ${formats_sources})
# The project's warnings for the project's code; the framework's client sources in the same
# target keep their own.
set_source_files_properties(${formats_sources} TARGET_DIRECTORY CorvadelPlugin
  PROPERTIES COMPILE_OPTIONS "${corvadel_warnings}")
target_include_directories(CorvadelPlugin PRIVATE ${PROJECT_SOURCE_DIR})

target_compile_definitions(CorvadelPlugin PUBLIC
  # Debian's JUCE replaces the LV2URI argument by the product name (a relative URI) unless this is
  # defined.
  "JucePlugin_LV2URI=\"${CORVADEL_lv2Uri}\""
  # Replacing the VST 2 would need the VST 2 SDK's headers; the VST 2 stays a plug-in of its own.
  JUCE_VST3_CAN_REPLACE_VST2=0
  JUCE_WEB_BROWSER=0
  JUCE_USE_CURL=0
  JUCE_DISPLAY_SPLASH_SCREEN=0
  JUCE_MODAL_LOOPS_PERMITTED=1)

target_link_libraries(CorvadelPlugin
  PRIVATE
    juce::juce_audio_plugin_client
    juce::juce_audio_processors
    juce::juce_gui_basics
    corvadel_engine
    juce_plugin_processors
  PUBLIC
    juce::juce_recommended_config_flags)

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/Vst3Windows.cmake)
  return()
endif()

target_link_libraries(CorvadelPlugin PRIVATE PkgConfig::JUCE_SYSTEM_LIBS X11::X11)

set(CORVADEL_VST3_DIR "$ENV{HOME}/.vst3" CACHE PATH "Folder that Linux VST 3 hosts scan for plug-ins")
set(CORVADEL_LV2_DIR "$ENV{HOME}/.lv2" CACHE PATH "Folder that Linux LV2 hosts scan for plug-ins")

# Each library exports its format's entries alone, so that unloading really unloads.
set(exports_VST3 ${PROJECT_SOURCE_DIR}/formats/vst3-exports.map)
set(exports_LV2 ${PROJECT_SOURCE_DIR}/formats/lv2-exports.map)
foreach(format VST3 LV2)
  target_link_options(CorvadelPlugin_${format} PRIVATE
    -Wl,--exclude-libs,ALL -Wl,--no-undefined -Wl,--version-script=${exports_${format}})
  set_target_properties(CorvadelPlugin_${format} PROPERTIES LINK_DEPENDS ${exports_${format}})
endforeach()

set(CORVADEL_VST3_BUNDLE ${PROJECT_BINARY_DIR}/${CORVADEL_name}.vst3)
set(CORVADEL_LV2_BUNDLE ${PROJECT_BINARY_DIR}/${CORVADEL_name}.lv2)
set_target_properties(CorvadelPlugin_VST3 PROPERTIES
  LIBRARY_OUTPUT_DIRECTORY ${CORVADEL_VST3_BUNDLE}/Contents/${JUCE_TARGET_ARCHITECTURE}-linux)
set_target_properties(CorvadelPlugin_LV2 PROPERTIES
  LIBRARY_OUTPUT_DIRECTORY ${CORVADEL_LV2_BUNDLE})

# JUCE's manifest helper has written the bundle's Turtle by now; what it writes wrong is mended.
add_custom_command(TARGET CorvadelPlugin_LV2 POST_BUILD
  COMMAND ${CMAKE_COMMAND} -DBUNDLE=${CORVADEL_LV2_BUNDLE} -DURI=${CORVADEL_lv2Uri} -DEMAIL=${CORVADEL_vendorEmail}
          -P ${CMAKE_CURRENT_LIST_DIR}/MendLv2Turtle.cmake
  VERBATIM)

# The bundles' libraries as targets, so that installing with --strip strips them.
install(TARGETS CorvadelPlugin_VST3
  LIBRARY DESTINATION ${CORVADEL_VST3_DIR}/${CORVADEL_name}.vst3/Contents/${JUCE_TARGET_ARCHITECTURE}-linux)
install(TARGETS CorvadelPlugin_LV2 LIBRARY DESTINATION ${CORVADEL_LV2_DIR}/${CORVADEL_name}.lv2)
install(FILES ${CORVADEL_LV2_BUNDLE}/manifest.ttl ${CORVADEL_LV2_BUNDLE}/dsp.ttl ${CORVADEL_LV2_BUNDLE}/ui.ttl
  DESTINATION ${CORVADEL_LV2_DIR}/${CORVADEL_name}.lv2)

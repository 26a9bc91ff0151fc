# The plug-in: the chord player and its editor in a library that every format links, the VST 2
# boundary and bridge in an object library (shared by the plug-in and the tests), the library's
# load hooks in a library of their own, and Corvadel.so.
file(GLOB corvadel_host_sources   CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/host/*.cpp)
file(GLOB corvadel_bridge_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bridge/*.cpp)
file(GLOB corvadel_engine_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/engine/*.cpp)
file(GLOB corvadel_editor_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/editor/*.cpp)
# What the VST 3 and LV2 adapter shares with the VST 2 bridge: the filter contract, and the X
# connection the framework's windows use.
set(corvadel_shared_bridge_sources
  ${PROJECT_SOURCE_DIR}/bridge/AudioFilterBase.cpp ${PROJECT_SOURCE_DIR}/bridge/FrameworkXConnection.cpp)
list(REMOVE_ITEM corvadel_bridge_sources ${corvadel_shared_bridge_sources})
list(FILTER corvadel_bridge_sources EXCLUDE REGEX "LibraryLifetime[^/]*\\.cpp$")
# The exported entry belongs to the plug-in alone: test programs have a main of their own.
list(FILTER corvadel_host_sources EXCLUDE REGEX "PluginEntry\\.cpp$")

set(corvadel_warnings -Wall -Wextra -Wno-unused-parameter)

# Sets what every library of the project's code shares.
function(corvadel_project_library target)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${target} PRIVATE ${corvadel_warnings})
  set_target_properties(${target} PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
endfunction()

add_library(corvadel_engine STATIC
  ${corvadel_engine_sources} ${corvadel_editor_sources} ${corvadel_shared_bridge_sources})
corvadel_project_library(corvadel_engine)
target_link_libraries(corvadel_engine PUBLIC juce_modules)
if(NOT WIN32)
  # The editor's window layer talks to the X server directly.
  find_package(X11 REQUIRED)
  target_link_libraries(corvadel_engine PUBLIC X11::X11)
endif()

add_library(corvadel_core OBJECT ${corvadel_host_sources} ${corvadel_bridge_sources})
corvadel_project_library(corvadel_core)
target_link_libraries(corvadel_core PUBLIC corvadel_engine juce_modules)

# The load and unload hooks start and stop the framework. They are linked after the framework so
# that its own static objects are built before the hook runs and destroyed after it has run.
add_library(corvadel_lifetime STATIC ${PROJECT_SOURCE_DIR}/bridge/LibraryLifetime.cpp)
target_link_libraries(corvadel_lifetime PUBLIC juce_modules)
target_include_directories(corvadel_lifetime PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(corvadel_lifetime PRIVATE ${corvadel_warnings})
set_target_properties(corvadel_lifetime PROPERTIES
  POSITION_INDEPENDENT_CODE ON
  CXX_VISIBILITY_PRESET hidden)

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/PluginDll.cmake)
  include(${CMAKE_CURRENT_LIST_DIR}/Formats.cmake)
  return()
endif()

add_library(Corvadel SHARED ${PROJECT_SOURCE_DIR}/host/PluginEntry.cpp)
target_include_directories(Corvadel PRIVATE ${PROJECT_SOURCE_DIR})
set_target_properties(Corvadel PROPERTIES CXX_VISIBILITY_PRESET hidden)
target_link_libraries(Corvadel PRIVATE corvadel_core juce_modules
  "$<LINK_LIBRARY:WHOLE_ARCHIVE,corvadel_lifetime>")
set_target_properties(Corvadel PROPERTIES
  PREFIX ""
  OUTPUT_NAME Corvadel
  LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}
  LINK_DEPENDS ${PROJECT_SOURCE_DIR}/host/exports.map)
target_link_options(Corvadel PRIVATE
  -Wl,--no-undefined
  -Wl,--exclude-libs,ALL
  -Wl,--version-script=${PROJECT_SOURCE_DIR}/host/exports.map)

include(GNUInstallDirs)
set(CORVADEL_VST_DIR "$ENV{HOME}/.vst" CACHE PATH "Folder that Linux VST hosts scan for plug-ins")
install(TARGETS Corvadel LIBRARY DESTINATION ${CORVADEL_VST_DIR})

include(${CMAKE_CURRENT_LIST_DIR}/Formats.cmake)

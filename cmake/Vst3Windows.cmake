# Corvadel.vst3 for Windows (included by Formats.cmake in a mingw-w64 build): the bundle a Windows
# user copies whole into C:\Program Files\Common Files\VST3, built beside Corvadel.dll. Its library
# lies in Contents/x86_64-win or Contents/x86-win, where VST 3 hosts look for their architecture.

# What Debian's JUCE takes from the system on Linux comes from mingw here, as for the DLL: zlib
# and the Windows libraries the modules call into. No image file is decoded (see JuceForMingw).
target_compile_definitions(CorvadelPlugin PUBLIC
  JUCE_INCLUDE_ZLIB_CODE=0 JUCE_INCLUDE_PNG_CODE=0 JUCE_INCLUDE_JPEGLIB_CODE=0)
target_link_libraries(CorvadelPlugin PRIVATE ${juce_mingw_libs} Threads::Threads)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(vst3_windows_architecture x86_64-win)
else()
  set(vst3_windows_architecture x86-win)
endif()

set(CORVADEL_VST3_BUNDLE ${PROJECT_BINARY_DIR}/${CORVADEL_name}.vst3)
set(CORVADEL_VST3_LIBRARY ${CORVADEL_VST3_BUNDLE}/Contents/${vst3_windows_architecture}/${CORVADEL_name}.vst3)

# The module-definition file names the three entries VST 3 hosts call; nothing else is exported.
# The runtimes are linked in (a musician's machine has no mingw DLLs) and the symbols stripped, as
# for Corvadel.dll.
set(vst3_exports ${PROJECT_SOURCE_DIR}/formats/vst3-exports.def)
target_sources(CorvadelPlugin_VST3 PRIVATE ${vst3_exports})
target_link_options(CorvadelPlugin_VST3 PRIVATE -static -static-libgcc -static-libstdc++ -s)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # The client marks GetPluginFactory for export as the stdcall name GetPluginFactory@0 as well;
  # hosts ask for the plain name alone, so the decorated one is dropped.
  target_link_options(CorvadelPlugin_VST3 PRIVATE -Wl,--kill-at)
endif()
set_target_properties(CorvadelPlugin_VST3 PROPERTIES
  LIBRARY_OUTPUT_DIRECTORY ${CORVADEL_VST3_BUNDLE}/Contents/${vst3_windows_architecture}
  LINK_DEPENDS ${vst3_exports})

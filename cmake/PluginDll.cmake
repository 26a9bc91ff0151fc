# Corvadel.dll, the plug-in for Windows hosts (included by Plugin.cmake in a mingw-w64 build).

# The module-definition file names the two exports; with it the linker exports nothing else. The
# C and C++ runtimes are linked in: a musician's machine has no mingw DLLs. Stripped (-s): the
# symbols would double the DLL's size and no Windows debugger reads them.
add_library(Corvadel SHARED ${PROJECT_SOURCE_DIR}/host/PluginEntry.cpp ${PROJECT_SOURCE_DIR}/host/exports.def)
target_include_directories(Corvadel PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(Corvadel PRIVATE corvadel_core juce_modules
  "$<LINK_LIBRARY:WHOLE_ARCHIVE,corvadel_lifetime>")
target_link_options(Corvadel PRIVATE -static -static-libgcc -static-libstdc++ -s)
set_target_properties(Corvadel PROPERTIES
  PREFIX ""
  OUTPUT_NAME Corvadel
  RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}
  ARCHIVE_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/lib)


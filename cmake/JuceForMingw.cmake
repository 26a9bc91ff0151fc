# What building Debian's JUCE 7 modules for Windows with mingw-w64 needs beyond the Linux build.
# Included by JuceModules.cmake on Windows; edits juce_sources and sets juce_mingw_libs.
# Generated files go to ${CMAKE_BINARY_DIR}/juce_mingw.

set(juce_mingw_dir ${CMAKE_BINARY_DIR}/juce_mingw)
file(MAKE_DIRECTORY ${juce_mingw_dir})

# Writes a generated source, touching it only when its text changes (no needless rebuilds).
function(corvadel_write_generated path content)
  file(WRITE ${path}.new "${content}")
  configure_file(${path}.new ${path} COPYONLY)
  file(REMOVE ${path}.new)
endfunction()

# 1. PNG and JPEG. Debian's juce_graphics reads them with the system's libpng and libjpeg, which
#    Debian does not build for mingw. A copy of the module's unity file includes stand-ins for
#    the two formats instead of their loaders (the editor loads no image). The copy names the
#    module's files by their full paths, so that every target compiling it finds them.
set(graphics_unity ${JUCE_MODULES_DIR}/juce_graphics/juce_graphics.cpp)
file(READ ${graphics_unity} graphics_text)
set(loader_includes "#include \"image_formats/juce_JPEGLoader.cpp\"\n#include \"image_formats/juce_PNGLoader.cpp\"\n")
string(FIND "${graphics_text}" "${loader_includes}" loaders_at)
if(loaders_at EQUAL -1)
  message(FATAL_ERROR "${graphics_unity} no longer includes the PNG and JPEG loaders where expected")
endif()
string(REPLACE "#include \"" "#include \"${JUCE_MODULES_DIR}/juce_graphics/" loader_includes_in_place "${loader_includes}")
string(REPLACE "#include \"" "#include \"${JUCE_MODULES_DIR}/juce_graphics/" graphics_text "${graphics_text}")
string(REPLACE "${loader_includes_in_place}"
       "#include \"${CMAKE_CURRENT_LIST_DIR}/mingw/ImageFormatStandIns.cpp\"\n" graphics_text "${graphics_text}")
corvadel_write_generated(${juce_mingw_dir}/juce_graphics.cpp "${graphics_text}")
list(TRANSFORM juce_sources REPLACE "^${graphics_unity}$" "${juce_mingw_dir}/juce_graphics.cpp")

# 2. COM interface identifiers, 32-bit only. For 32-bit mingw JUCE replaces __uuidof with a
#    lookup of its own whose specialisations land in the wrong namespace (juce::ComTypes) and
#    fail to compile with mingw's headers. mingw's own __uuidof, fed by the __CRT_UUID_DECL
#    lines JUCE already carries, is what the 64-bit build uses; the 32-bit build is given the same.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(gui_unity ${JUCE_MODULES_DIR}/juce_gui_basics/juce_gui_basics.cpp)
  corvadel_write_generated(${juce_mingw_dir}/juce_gui_basics.cpp [=[
#define JUCE_CORE_INCLUDE_COM_SMART_PTR 1
#define JUCE_CORE_INCLUDE_NATIVE_HEADERS 1
#include <juce_core/juce_core.h>
#undef __uuidof
#define __uuidof(type) __mingw_uuidof<__typeof (type)>()
#undef JUCE_DECLARE_UUID_GETTER
#define JUCE_DECLARE_UUID_GETTER(name, uuid)
#undef JUCE_COMCLASS
#define JUCE_COMCLASS(name, guid) struct DECLSPEC_UUID (guid) name
#include <juce_gui_basics/juce_gui_basics.cpp>
]=])
  list(TRANSFORM juce_sources REPLACE "^${gui_unity}$" "${juce_mingw_dir}/juce_gui_basics.cpp")
endif()

# 3. zlib comes from libz-mingw-w64-dev; its static library, so that the DLL needs no zlib1.dll.
find_library(CORVADEL_MINGW_ZLIB NAMES libz.a REQUIRED)

# 4. The Windows libraries the modules call into. MSVC would find them through the modules'
#    #pragma comment (lib) lines, which gcc ignores.
set(juce_mingw_libs ${CORVADEL_MINGW_ZLIB}
  uuid wininet version ole32 ws2_32 oleaut32 imm32 comdlg32 shlwapi winmm dxgi gdi32)

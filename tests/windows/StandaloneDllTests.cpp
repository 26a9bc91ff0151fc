// A musician copies Corvadel.dll alone into the host's plug-in folder: it must load from there
// with nothing beside it, taking what it needs only from Windows itself.

#include "host/VstInterface.h"
#include "tools/vst-host/SharedLibrary.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace
{
VstIntPtr versionOnlyHost (AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

// A fresh folder beside the test program holding nothing but a copy of the library.
std::string copyAlone (const std::string& fileName, const std::string& folderName)
{
    const auto folder = SharedLibrary::besideThisProgram (folderName);
    const auto copy = folder + "\\" + fileName;
    CreateDirectoryA (folder.c_str(), nullptr);
    DeleteFileA (copy.c_str());
    EXPECT_TRUE (CopyFileA (SharedLibrary::besideThisProgram (fileName).c_str(), copy.c_str(), FALSE)) << copy;

    int files = 0;
    WIN32_FIND_DATAA found {};
    const auto search = FindFirstFileA ((folder + "\\*").c_str(), &found);

    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA (search, &found))
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            ++files;

    FindClose (search);
    EXPECT_EQ (files, 1) << folder;
    return copy;
}

// Looks for the library's dependencies in its own folder and in Windows' system folder only, not
// beside the test program or on the PATH.
HMODULE loadAlone (const std::string& path)
{
    return LoadLibraryExA (path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
}
}

TEST (StandaloneDll, LoadsAloneInAFolderAndMakesAnInstance)
{
    const auto path = copyAlone ("Corvadel.dll", "alone-plugin");
    const auto module = loadAlone (path);
    ASSERT_NE (module, nullptr) << "error " << GetLastError();

    using Entry = AEffect* (*) (audioMasterCallback);
    auto entry = reinterpret_cast<Entry> (reinterpret_cast<void*> (GetProcAddress (module, "VSTPluginMain")));
    ASSERT_NE (entry, nullptr);
    auto* effect = entry (&versionOnlyHost);
    ASSERT_NE (effect, nullptr);
    EXPECT_EQ (effect->magic, kEffectMagic);
    EXPECT_EQ (effect->dispatcher (effect, effClose, 0, 0, nullptr, 0.0f), 1);

    EXPECT_TRUE (FreeLibrary (module));
    EXPECT_EQ (GetModuleHandleA ("Corvadel.dll"), nullptr);
}

TEST (StandaloneDll, ALibraryThatNeedsTheMingwRuntimeDoesNotLoadAlone)
{
    const auto path = copyAlone ("runtime_dependent_control.dll", "alone-control");
    const auto module = loadAlone (path);
    EXPECT_EQ (module, nullptr) << "the control found the mingw runtime somewhere: this test could not tell";
    EXPECT_EQ (GetLastError(), (DWORD) ERROR_MOD_NOT_FOUND);

    if (module != nullptr)
        FreeLibrary (module);
}

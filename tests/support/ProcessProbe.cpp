#include "tests/support/ProcessProbe.h"

#if defined(_WIN32)
#include <windows.h>
#include <tlhelp32.h>

bool ProcessProbe::libraryIsLoaded (const std::string& fileName)
{
    return GetModuleHandleA (fileName.c_str()) != nullptr;
}

int ProcessProbe::threadCount()
{
    const auto snapshot = CreateToolhelp32Snapshot (TH32CS_SNAPTHREAD, 0);

    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;

    int count = 0;
    THREADENTRY32 entry {};
    entry.dwSize = sizeof (entry);

    for (bool more = Thread32First (snapshot, &entry); more; more = Thread32Next (snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;

    CloseHandle (snapshot);
    return count;
}

#else
#include <dirent.h>
#include <fstream>

bool ProcessProbe::libraryIsLoaded (const std::string& fileName)
{
    std::ifstream maps ("/proc/self/maps");
    std::string line;

    while (std::getline (maps, line))
        if (line.find (fileName) != std::string::npos)
            return true;

    return false;
}

int ProcessProbe::threadCount()
{
    int count = 0;

    if (auto* dir = opendir ("/proc/self/task"))
    {
        while (auto* entry = readdir (dir))
            if (entry->d_name[0] != '.')
                ++count;

        closedir (dir);
    }

    return count;
}
#endif

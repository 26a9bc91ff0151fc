#include "tests/support/ChildProcess.h"

#include <array>

#if defined(_WIN32)
#include <windows.h>

ChildProcess::Result ChildProcess::run (const std::string& program, const std::string& argument)
{
    SECURITY_ATTRIBUTES inheritable { sizeof (SECURITY_ATTRIBUTES), nullptr, TRUE };
    HANDLE readEnd = nullptr, writeEnd = nullptr;

    if (! CreatePipe (&readEnd, &writeEnd, &inheritable, 0))
        return {};

    SetHandleInformation (readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup {};
    startup.cb = sizeof (startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle (STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle (STD_OUTPUT_HANDLE);
    startup.hStdError = writeEnd;

    std::string commandLine = "\"" + program + "\" " + argument;
    PROCESS_INFORMATION child {};
    const bool started = CreateProcessA (nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                         &startup, &child);
    CloseHandle (writeEnd);

    Result result;
    std::array<char, 4096> buffer;
    DWORD n = 0;

    while (ReadFile (readEnd, buffer.data(), (DWORD) buffer.size(), &n, nullptr) && n > 0)
        result.errorOutput.append (buffer.data(), n);

    CloseHandle (readEnd);

    if (! started)
        return result;

    WaitForSingleObject (child.hProcess, INFINITE);
    DWORD exitCode = 0;

    if (GetExitCodeProcess (child.hProcess, &exitCode))
        result.exitStatus = (int) exitCode;

    CloseHandle (child.hThread);
    CloseHandle (child.hProcess);
    return result;
}

#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

ChildProcess::Result ChildProcess::run (const std::string& program, const std::string& argument)
{
    int errorPipe[2];

    if (pipe (errorPipe) != 0)
        return {};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    posix_spawn_file_actions_adddup2 (&actions, errorPipe[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose (&actions, errorPipe[0]);

    std::string programCopy = program, argumentCopy = argument;
    char* argv[] = { programCopy.data(), argumentCopy.data(), nullptr };
    pid_t child = 0;
    const int spawned = posix_spawn (&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy (&actions);
    close (errorPipe[1]);

    Result result;
    std::array<char, 4096> buffer;
    ssize_t n;

    while ((n = read (errorPipe[0], buffer.data(), buffer.size())) > 0)
        result.errorOutput.append (buffer.data(), (size_t) n);

    close (errorPipe[0]);

    if (spawned != 0)
        return result;

    int status = 0;
    waitpid (child, &status, 0);

    if (WIFEXITED (status))
        result.exitStatus = WEXITSTATUS (status);
    else if (WIFSIGNALED (status))
        result.signal = WTERMSIG (status);

    return result;
}
#endif

#include "tests/tools/ToolRun.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
std::vector<std::string> linesOf (const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in (text);

    for (std::string line; std::getline (in, line);)
        lines.push_back (line);

    return lines;
}

[[noreturn]] void becomeTool (const std::vector<std::string>& arguments, const juce::File& folder,
                              const std::string& outPath, const std::string& errPath)
{
    const auto program = corvadelPlayFile().getFullPathName().toStdString();
    std::vector<char*> argv { const_cast<char*> (program.c_str()) };

    for (const auto& a : arguments)
        argv.push_back (const_cast<char*> (a.c_str()));

    argv.push_back (nullptr);

    const int out = open (outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open (errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int in = open ("/dev/null", O_RDONLY);

    if (out < 0 || err < 0 || in < 0 || chdir (folder.getFullPathName().toRawUTF8()) != 0)
        _exit (127);

    dup2 (in, 0);
    dup2 (out, 1);
    dup2 (err, 2);
    execv (program.c_str(), argv.data());
    _exit (127);
}

// Waits for the child to end, killing it first when it outlives the limit; true when it did.
bool waitForChild (pid_t child, int& status, double timeLimitSeconds)
{
    if (timeLimitSeconds <= 0.0)
    {
        while (waitpid (child, &status, 0) < 0 && errno == EINTR)
        {
        }

        return false;
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double> (timeLimitSeconds);

    while (std::chrono::steady_clock::now() < deadline)
    {
        const pid_t ended = waitpid (child, &status, WNOHANG);

        if (ended == child || (ended < 0 && errno != EINTR))
            return false;

        std::this_thread::sleep_for (std::chrono::milliseconds (10));
    }

    kill (child, SIGKILL);

    while (waitpid (child, &status, 0) < 0 && errno == EINTR)
    {
    }

    return true;
}
}

std::vector<std::string> ToolRun::outLines() const { return linesOf (out); }
std::vector<std::string> ToolRun::errLines() const { return linesOf (err); }

ToolRun ToolRun::run (const std::vector<std::string>& arguments, const juce::File& workingFolder,
                      double timeLimitSeconds)
{
    const auto outFile = workingFolder.getNonexistentChildFile ("stdout", ".txt");
    outFile.create();
    const auto errFile = workingFolder.getNonexistentChildFile ("stderr", ".txt");
    errFile.create();

    ToolRun result;
    const pid_t child = fork();

    if (child == 0)
        becomeTool (arguments, workingFolder, outFile.getFullPathName().toStdString(),
                    errFile.getFullPathName().toStdString());

    if (child < 0)
        return result;

    const auto started = std::chrono::steady_clock::now();
    int status = 0;
    result.timedOut = waitForChild (child, status, timeLimitSeconds);
    result.seconds = std::chrono::duration<double> (std::chrono::steady_clock::now() - started).count();
    result.exitedNormally = WIFEXITED (status);
    result.exitCode = WIFEXITED (status) ? WEXITSTATUS (status) : -1;
    result.signal = WIFSIGNALED (status) ? WTERMSIG (status) : 0;
    result.out = outFile.loadFileAsString().toStdString();
    result.err = errFile.loadFileAsString().toStdString();
    outFile.deleteFile();
    errFile.deleteFile();
    return result;
}

void PrintTo (const ToolRun& run, std::ostream* os)
{
    *os << "exit " << run.exitCode
        << (run.timedOut ? " (killed after " + std::to_string (run.seconds) + " s)"
                         : run.exitedNormally ? "" : " (ended by signal " + std::to_string (run.signal) + ")")
        << "\n--- stdout ---\n" << run.out << "--- stderr ---\n" << run.err;
}

juce::File corvadelPlayFile() { return juce::File (CORVADEL_PLAY_PATH); }
juce::File pluginFile() { return juce::File (CORVADEL_PLUGIN_PATH); }

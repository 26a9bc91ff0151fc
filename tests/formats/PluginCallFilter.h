#pragma once

#include <string>

// Tells the audio thread's counts apart by whose code caused them. A host's block runs the host's
// code and the plug-in's; here the host is this program, built on the framework's hosting, whose
// own work (its MIDI lists lock a mutex for every event, for one) is not the plug-in's. An
// allocation, write or lock is the plug-in's when the innermost caller of the C library entry,
// leaving out system libraries, lies in the plug-in's library.
namespace PluginCallFilter
{
// From now on the counter counts only what the loaded library whose path contains this text
// causes. False when no such library is loaded.
bool countOnlyLibrary (const std::string& pathPart);
// Every event counts again.
void countEverything();
}

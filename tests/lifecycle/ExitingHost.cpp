// A host process that leaves the way real hosts and plug-in scanners leave: it uses the plug-in
// as the case named on its command line says and then returns from main, mostly without
// unloading the library. The test runs it once per case and expects a clean exit.

#include "tests/support/PluginHost.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>

namespace
{
void pressOnce (PluginHost& host, AEffect* effect)
{
    host.setChunk (effect, makeGridChunk ({ { { { 60, 100 }, { 67, 100 } } } }));
    host.processBlock (effect, { { 0, 0xB0, 64, 127 } });
}

// Library and host are never destroyed: the process ends with the library still loaded, as a
// host that does not unload its plug-ins leaves it.
PluginHost& leakedHost()
{
    auto* library = new PluginLibrary (builtPluginPath());
    return *new PluginHost (*library);
}

const std::map<std::string, std::function<void()>> cases {
    { "create-only", [] { leakedHost().createInstance(); } },
    { "open-close", [] {
          auto& host = leakedHost();
          auto* effect = host.createInstance();
          host.dispatch (effect, effOpen);
          host.close (effect);
      } },
    { "open-after-press", [] {
          auto& host = leakedHost();
          auto* effect = host.createInstance();
          host.startPlaying (effect);
          pressOnce (host, effect);
      } },
    { "editor-size-asked-and-closed", [] {
          auto& host = leakedHost();
          auto* effect = host.createInstance();
          host.startPlaying (effect);
          host.dispatch (effect, effEditGetRect);
          pressOnce (host, effect);
          host.dispatch (effect, effEditClose);
          host.close (effect);
      } },
    { "chunk-handed-out", [] {
          auto& host = leakedHost();
          auto* effect = host.createInstance();
          host.startPlaying (effect);
          host.setChunk (effect, makeGridChunk ({ {}, {} }));
          void* data = nullptr;
          host.dispatch (effect, effGetChunk, 0, 0, &data);
      } },
    { "two-instances", [] {
          auto& host = leakedHost();
          auto* first = host.createInstance();
          auto* second = host.createInstance();
          host.startPlaying (first);
          host.startPlaying (second);
          pressOnce (host, second);
          host.close (first);
      } },
    { "unload-then-exit", [] {
          PluginLibrary library (builtPluginPath());
          {
              PluginHost host (library);
              auto* effect = host.createInstance();
              host.startPlaying (effect);
              pressOnce (host, effect);
          }
          library.unload();
      } },
};
}

int main (int argc, char** argv)
{
    if (argc != 2 || cases.count (argv[1]) == 0)
    {
        std::fprintf (stderr, "usage: %s CASE\n", argv[0]);
        return 2;
    }

    cases.at (argv[1])();
    return 0;
}

#pragma once

// The test host's side of X error handling, without the framework's names: which handler is
// installed. The host installs none of its own, so Xlib's default one, which ends the process at
// the first error, must be the one in force whenever the plug-in has returned to the host.
namespace HostXErrors
{
bool xlibDefaultHandlerInstalled();
}

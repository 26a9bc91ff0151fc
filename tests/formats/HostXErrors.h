#pragma once

// The test host's X error handling. The host's own framework, like any toolkit on an X server
// without a window manager, causes X errors on its own connection (it reads the window manager's
// properties), so the host handles those: it ignores them and counts them. Every other X error,
// one on a plug-in's connection among them, goes to Xlib's default handler, which ends the
// process, as in a host with no handler at all. A plug-in's X error that reaches the host ends
// the test program.
namespace HostXErrors
{
// Main thread, before any X connection of the framework's or a plug-in's is opened.
void handleOwnConnectionOnly();
// Whether a handler other than Xlib's default is installed: the host's, or a plug-in's put on top
// of it that passes on what is not its own.
bool hostHandlerInChain();
// Errors on the host's own framework connection since the handler was installed.
int ownErrors();
}

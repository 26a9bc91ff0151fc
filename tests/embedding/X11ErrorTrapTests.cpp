// The plug-in's X error trap on a real X server, with a host's own handler that counts: errors
// inside the plug-in's stretches of window-system calls are ignored, however deeply they nest;
// the host's handler is back after the outermost one and during calls into the host.

#include "bridge/PluginWindowCalls.h"
#include "bridge/X11ErrorTrap.h"

#include <gtest/gtest.h>

// After gtest: Xlib's macros (None, Bool) break gtest's templates.
#include <X11/Xlib.h>

namespace
{
int hostErrors = 0;

int countHostError (Display*, XErrorEvent*)
{
    ++hostErrors;
    return 0;
}

class X11ErrorTrapTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        display = XOpenDisplay (nullptr);
        ASSERT_NE (display, nullptr) << "run under xvfb-run";
        hostHandler = XSetErrorHandler (countHostError);
        hostErrors = 0;

        vanished = XCreateSimpleWindow (display, DefaultRootWindow (display), 0, 0, 10, 10, 0, 0, 0);
        XDestroyWindow (display, vanished);
        XSync (display, False);
    }

    void TearDown() override
    {
        XSetErrorHandler (hostHandler);

        if (display != nullptr)
            XCloseDisplay (display);
    }

    // Asks about the window that is gone; the answer comes back before this returns, and with it
    // the error.
    void failingRequest()
    {
        XWindowAttributes attributes;
        XGetWindowAttributes (display, vanished, &attributes);
    }

    static bool hostHandlerInstalled()
    {
        const XErrorHandler installed = XSetErrorHandler (countHostError);
        XSetErrorHandler (installed);
        return installed == countHostError;
    }

    Display* display = nullptr;
    XErrorHandler hostHandler = nullptr;
    Window vanished = 0;
};
}

TEST_F (X11ErrorTrapTest, ErrorsInsideNestedStretchesAreIgnoredAndTheHostsHandlerComesBack)
{
    failingRequest();
    ASSERT_EQ (hostErrors, 1) << "outside the plug-in's calls the host's handler is told";

    const int ignoredBefore = X11ErrorTrap::ignoredErrorCount();

    {
        const PluginWindowCalls outer;

        {
            const PluginWindowCalls inner;
            failingRequest();
        }

        EXPECT_TRUE (X11ErrorTrap::isActive()) << "the inner end leaves the outer stretch in force";
        failingRequest();
    }

    EXPECT_EQ (hostErrors, 1);
    EXPECT_EQ (X11ErrorTrap::ignoredErrorCount() - ignoredBefore, 2);
    EXPECT_FALSE (X11ErrorTrap::isActive());
    EXPECT_TRUE (hostHandlerInstalled());

    failingRequest();
    EXPECT_EQ (hostErrors, 2);
}

TEST_F (X11ErrorTrapTest, ACallIntoTheHostRunsWithTheHostsHandler)
{
    {
        const PluginWindowCalls outer;
        const PluginWindowCalls inner;

        {
            const PluginWindowCalls::HostCall hostCall;
            EXPECT_TRUE (hostHandlerInstalled());
            failingRequest();
            EXPECT_EQ (hostErrors, 1) << "the host's own failing request reaches its handler";
        }

        EXPECT_FALSE (hostHandlerInstalled());
        failingRequest();
        EXPECT_EQ (hostErrors, 1) << "back inside the plug-in's stretch, at its former depth";

        {
            const PluginWindowCalls deeper;
        }

        failingRequest();
        EXPECT_EQ (hostErrors, 1);
    }

    EXPECT_TRUE (hostHandlerInstalled());

    // Outside every stretch a call into the host changes nothing.
    {
        const PluginWindowCalls::HostCall hostCall;
        EXPECT_TRUE (hostHandlerInstalled());
    }

    EXPECT_FALSE (X11ErrorTrap::isActive());
    EXPECT_TRUE (hostHandlerInstalled());
}

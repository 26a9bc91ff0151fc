// The VST 3 editor in a host that installs no X error handler at all, on an X server without a
// window manager: Xlib's default handler ends such a host at the first X error that reaches it.
// The host is written against the VST 3 interfaces alone (no framework of its own, so no X traffic
// but its plain window's): it loads the bundle's module, makes the component and its controller,
// connects them, and attaches the controller's view to its window, running the view's event
// handlers and timers through its own run loop, ten times, clicking a note into each. Once the
// plug-in's instances are gone, Xlib's default handler is the one in force again.

#include "tests/display/XHostWindow.h"
#include "tests/formats/TenEditorsScenario.h"

#include <gtest/gtest.h>

#include <pluginterfaces/base/ipluginbase.h>
#include <pluginterfaces/gui/iplugview.h>
#include <pluginterfaces/vst/ivstaudioprocessor.h>
#include <pluginterfaces/vst/ivstcomponent.h>
#include <pluginterfaces/vst/ivsteditcontroller.h>
#include <pluginterfaces/vst/ivstmessage.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <dlfcn.h>
#include <poll.h>
#include <vector>

using namespace Steinberg;

// The view's interface ids are defined by whoever uses them; the SDK's own files do not.
namespace Steinberg
{
DEF_CLASS_IID (IPlugFrame)
DEF_CLASS_IID (IPlugView)

namespace Linux
{
DEF_CLASS_IID (IRunLoop)
}
}

namespace
{
using Clock = std::chrono::steady_clock;

// The host's frame around the view, and the run loop the view's event handlers and timers are
// registered with; this test's loop runs them.
class HostFrame : public IPlugFrame, public Linux::IRunLoop
{
public:
    tresult PLUGIN_API queryInterface (const TUID iid, void** object) override
    {
        if (FUnknownPrivate::iidEqual (iid, IPlugFrame::iid) || FUnknownPrivate::iidEqual (iid, FUnknown::iid))
        {
            *object = static_cast<IPlugFrame*> (this);
            return kResultOk;
        }

        if (FUnknownPrivate::iidEqual (iid, Linux::IRunLoop::iid))
        {
            *object = static_cast<Linux::IRunLoop*> (this);
            return kResultOk;
        }

        *object = nullptr;
        return kNoInterface;
    }

    // Lives as long as the test: counts are not kept.
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }

    tresult PLUGIN_API resizeView (IPlugView* view, ViewRect* size) override
    {
        return view->onSize (size);
    }

    tresult PLUGIN_API registerEventHandler (Linux::IEventHandler* handler, Linux::FileDescriptor fd) override
    {
        handlers.push_back ({ handler, fd });
        return kResultOk;
    }

    tresult PLUGIN_API unregisterEventHandler (Linux::IEventHandler* handler) override
    {
        handlers.erase (std::remove_if (handlers.begin(), handlers.end(), [=] (auto& h) { return h.handler == handler; }), handlers.end());
        return kResultOk;
    }

    tresult PLUGIN_API registerTimer (Linux::ITimerHandler* handler, Linux::TimerInterval milliseconds) override
    {
        timers.push_back ({ handler, std::chrono::milliseconds (milliseconds), Clock::now() });
        return kResultOk;
    }

    tresult PLUGIN_API unregisterTimer (Linux::ITimerHandler* handler) override
    {
        timers.erase (std::remove_if (timers.begin(), timers.end(), [=] (auto& t) { return t.handler == handler; }), timers.end());
        return kResultOk;
    }

    // One turn of the host's loop: what is readable is handled, due timers fire.
    void runOnce (int waitMs)
    {
        std::vector<pollfd> fds;

        for (const auto& h : handlers)
            fds.push_back ({ h.fd, POLLIN, 0 });

        poll (fds.data(), fds.size(), waitMs);
        const auto ready = handlers;

        for (size_t i = 0; i < fds.size(); ++i)
            if ((fds[i].revents & POLLIN) != 0)
                ready[i].handler->onFDIsSet (ready[i].fd);

        const auto now = Clock::now();
        const auto due = timers;

        for (const auto& t : due)
            if (now - t.last >= t.interval)
                t.handler->onTimer();

        for (auto& t : timers)
            if (now - t.last >= t.interval)
                t.last = now;
    }

    bool nothingRegistered() const { return handlers.empty() && timers.empty(); }

private:
    struct Handler { Linux::IEventHandler* handler; int fd; };
    struct Timer { Linux::ITimerHandler* handler; Clock::duration interval; Clock::time_point last; };
    std::vector<Handler> handlers;
    std::vector<Timer> timers;
};

template <typename Interface>
Interface* queryFrom (FUnknown* object)
{
    void* result = nullptr;
    return object->queryInterface (Interface::iid, &result) == kResultOk ? static_cast<Interface*> (result) : nullptr;
}

class BareVst3Host : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (XHostWindow::displayAvailable()) << "this test needs an X server (run it under xvfb-run)";
        ASSERT_TRUE (XHostWindow::xlibDefaultHandlerInstalled()) << "this host installs no X error handler";
        window = std::make_unique<XHostWindow> (900, 900);
        ASSERT_FALSE (window->windowManagerRunning()) << "this test is about an X server without a window manager";

        module = dlopen (CORVADEL_VST3_BUNDLE "/Contents/x86_64-linux/Corvadel.so", RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE (module, nullptr) << dlerror();
        const auto moduleEntry = reinterpret_cast<bool (*) (void*)> (dlsym (module, "ModuleEntry"));
        const auto getFactory = reinterpret_cast<IPluginFactory* (*)()> (dlsym (module, "GetPluginFactory"));
        ASSERT_TRUE (moduleEntry != nullptr && getFactory != nullptr);
        ASSERT_TRUE (moduleEntry (module));
        factory = getFactory();
        ASSERT_NE (factory, nullptr);

        for (int32 i = 0; i < factory->countClasses(); ++i)
        {
            PClassInfo info {};

            if (factory->getClassInfo (i, &info) == kResultOk && std::strcmp (info.category, kVstAudioEffectClass) == 0)
                ASSERT_EQ (factory->createInstance (info.cid, Vst::IComponent::iid, (void**) &component), kResultOk);
        }

        ASSERT_NE (component, nullptr) << "the module makes an audio component";
        ASSERT_EQ (component->initialize (nullptr), kResultOk);
        TUID controllerId {};
        ASSERT_EQ (component->getControllerClassId (controllerId), kResultOk);
        ASSERT_EQ (factory->createInstance (controllerId, Vst::IEditController::iid, (void**) &controller), kResultOk);
        ASSERT_EQ (controller->initialize (nullptr), kResultOk);

        componentPoint = queryFrom<Vst::IConnectionPoint> (component);
        controllerPoint = queryFrom<Vst::IConnectionPoint> (controller);
        ASSERT_TRUE (componentPoint != nullptr && controllerPoint != nullptr);
        componentPoint->connect (controllerPoint);
        controllerPoint->connect (componentPoint);
    }

    void TearDown() override
    {
        closeView();

        if (componentPoint != nullptr)
        {
            componentPoint->disconnect (controllerPoint);
            controllerPoint->disconnect (componentPoint);
            componentPoint->release();
            controllerPoint->release();
        }

        if (controller != nullptr)
        {
            controller->terminate();
            controller->release();
        }

        if (component != nullptr)
        {
            component->terminate();
            component->release();
        }

        if (factory != nullptr)
            factory->release();

        EXPECT_TRUE (XHostWindow::xlibDefaultHandlerInstalled()) << "the plug-in left an X error handler behind";

        if (module != nullptr)
        {
            if (auto moduleExit = reinterpret_cast<bool (*)()> (dlsym (module, "ModuleExit")))
                moduleExit();

            dlclose (module);
        }

        window.reset();
    }

    void openView()
    {
        view = controller->createView (Vst::ViewType::kEditor);
        ASSERT_NE (view, nullptr);
        ASSERT_EQ (view->isPlatformTypeSupported (kPlatformTypeX11EmbedWindowID), kResultTrue);
        view->setFrame (&frame);
        ASSERT_EQ (view->attached (reinterpret_cast<void*> (window->windowId()), kPlatformTypeX11EmbedWindowID), kResultOk);
    }

    void closeView()
    {
        if (view == nullptr)
            return;

        view->removed();
        view->setFrame (nullptr);
        view->release();
        view = nullptr;
    }

    std::unique_ptr<XHostWindow> window;
    HostFrame frame;
    void* module = nullptr;
    IPluginFactory* factory = nullptr;
    Vst::IComponent* component = nullptr;
    Vst::IEditController* controller = nullptr;
    Vst::IConnectionPoint* componentPoint = nullptr;
    Vst::IConnectionPoint* controllerPoint = nullptr;
    IPlugView* view = nullptr;
};
}

TEST_F (BareVst3Host, TenEditorsOpenShowTheirColoursTakeAClickAndClose)
{
    runTenEditors (*window, { [this] { openView(); }, [this] { closeView(); }, [this] { frame.runOnce (5); } });
    EXPECT_TRUE (frame.nothingRegistered()) << "the closed views left no handler or timer with the host";
}

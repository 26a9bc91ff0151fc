#include "tests/windows/vst3/Vst3Module.h"

#include <stdexcept>

#include <windows.h>
#include <tlhelp32.h>

using namespace Steinberg;

namespace
{
template <typename Interface>
Interface* queryFrom (FUnknown* object)
{
    void* result = nullptr;
    return object != nullptr && object->queryInterface (Interface::iid, &result) == kResultOk ? static_cast<Interface*> (result)
                                                                                               : nullptr;
}

template <typename Function>
Function entryOf (void* library, const char* name)
{
    return reinterpret_cast<Function> (reinterpret_cast<void*> (GetProcAddress (static_cast<HMODULE> (library), name)));
}

std::wstring wide (const std::string& path)
{
    return std::wstring (path.begin(), path.end());
}
}

Vst3Module::Vst3Module (const std::string& libraryPath)
{
    library = LoadLibraryW (wide (libraryPath).c_str());

    if (library == nullptr)
        throw std::runtime_error ("LoadLibrary failed for " + libraryPath + ", error " + std::to_string (GetLastError()));

    const auto initDll = entryOf<bool (*)()> (library, "InitDll");
    const auto getFactory = entryOf<IPluginFactory* (PLUGIN_API*)()> (library, "GetPluginFactory");

    if (initDll == nullptr || getFactory == nullptr || ! initDll() || (pluginFactory = getFactory()) == nullptr)
    {
        FreeLibrary (static_cast<HMODULE> (library));
        throw std::runtime_error ("the module's entries failed: InitDll, GetPluginFactory");
    }
}

Vst3Module::~Vst3Module()
{
    pluginFactory->release();

    if (const auto exitDll = entryOf<bool (*)()> (library, "ExitDll"))
        exitDll();

    FreeLibrary (static_cast<HMODULE> (library));
}

std::string Vst3Module::libraryInBundle (const std::string& bundlePath)
{
    return bundlePath + (sizeof (void*) == 8 ? "\\Contents\\x86_64-win\\Corvadel.vst3" : "\\Contents\\x86-win\\Corvadel.vst3");
}

bool Vst3Module::isLoaded (const std::string& libraryPath)
{
    return GetModuleHandleW (wide (libraryPath).c_str()) != nullptr;
}

int Vst3Module::threadsOfThisProcess()
{
    const auto snapshot = CreateToolhelp32Snapshot (TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry {};
    entry.dwSize = sizeof (entry);
    int count = 0;

    for (bool more = Thread32First (snapshot, &entry); more; more = Thread32Next (snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;

    CloseHandle (snapshot);
    return count;
}

Vst3Module::Instance::Instance (Vst3Module& module)
{
    auto& factory = module.factory();

    for (int32 i = 0; i < factory.countClasses() && component == nullptr; ++i)
    {
        PClassInfo info {};

        if (factory.getClassInfo (i, &info) == kResultOk && std::string (info.category) == kVstAudioEffectClass)
            factory.createInstance (info.cid, Vst::IComponent::iid, (void**) &component);
    }

    TUID controllerId {};

    if (component == nullptr || component->initialize (nullptr) != kResultOk
        || component->getControllerClassId (controllerId) != kResultOk
        || factory.createInstance (controllerId, Vst::IEditController::iid, (void**) &controller) != kResultOk
        || controller->initialize (nullptr) != kResultOk)
        throw std::runtime_error ("the factory's component or controller did not start");

    componentPoint = queryFrom<Vst::IConnectionPoint> (component);
    controllerPoint = queryFrom<Vst::IConnectionPoint> (controller);

    if (componentPoint != nullptr && controllerPoint != nullptr)
    {
        componentPoint->connect (controllerPoint);
        controllerPoint->connect (componentPoint);
    }

    processor = queryFrom<Vst::IAudioProcessor> (component);
    Vst::ProcessSetup setup { Vst::kRealtime, Vst::kSample32, 512, 48000.0 };

    if (processor == nullptr || processor->setupProcessing (setup) != kResultOk || component->setActive (true) != kResultOk)
        throw std::runtime_error ("the component did not start processing");

    processor->setProcessing (true);
}

Vst3Module::Instance::~Instance()
{
    processor->setProcessing (false);
    component->setActive (false);
    processor->release();

    if (componentPoint != nullptr && controllerPoint != nullptr)
    {
        componentPoint->disconnect (controllerPoint);
        controllerPoint->disconnect (componentPoint);
    }

    if (componentPoint != nullptr)
        componentPoint->release();

    if (controllerPoint != nullptr)
        controllerPoint->release();

    controller->terminate();
    controller->release();
    component->terminate();
    component->release();
}

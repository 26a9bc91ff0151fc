#pragma once

// The Windows VST 3 module as a host's loader uses it, written against the VST 3 interfaces alone
// (the SDK JUCE ships) and Win32: LoadLibrary, InitDll, the factory; then ExitDll and FreeLibrary.
// windows.h stays inside the source file: it clashes with the framework's names.

#include <pluginterfaces/base/ipluginbase.h>
#include <pluginterfaces/vst/ivstaudioprocessor.h>
#include <pluginterfaces/vst/ivstcomponent.h>
#include <pluginterfaces/vst/ivsteditcontroller.h>
#include <pluginterfaces/vst/ivstmessage.h>

#include <string>

class Vst3Module
{
public:
    // Loads the library; throws std::runtime_error with what failed.
    explicit Vst3Module (const std::string& libraryPath);
    ~Vst3Module();

    Vst3Module (const Vst3Module&) = delete;
    Vst3Module& operator= (const Vst3Module&) = delete;

    Steinberg::IPluginFactory& factory() const { return *pluginFactory; }

    // The library inside the bundle this program loads, for this program's architecture.
    static std::string libraryInBundle (const std::string& bundlePath);
    // Whether this process has a library of that path loaded.
    static bool isLoaded (const std::string& libraryPath);
    // The threads this process runs now.
    static int threadsOfThisProcess();

    // One instance as a host makes it: the component and its controller, initialised and
    // connected; the component set up for 48 kHz blocks of 512 and processing.
    class Instance
    {
    public:
        explicit Instance (Vst3Module& module);
        ~Instance();

        Instance (const Instance&) = delete;
        Instance& operator= (const Instance&) = delete;

    private:
        Steinberg::Vst::IComponent* component = nullptr;
        Steinberg::Vst::IAudioProcessor* processor = nullptr;
        Steinberg::Vst::IEditController* controller = nullptr;
        Steinberg::Vst::IConnectionPoint* componentPoint = nullptr;
        Steinberg::Vst::IConnectionPoint* controllerPoint = nullptr;
    };

private:
    void* library = nullptr;  // HMODULE
    Steinberg::IPluginFactory* pluginFactory = nullptr;
};

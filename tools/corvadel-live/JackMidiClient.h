#pragma once

#include <jack/jack.h>

#include <juce_audio_basics/juce_audio_basics.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

class Corvadel;

// The program's JACK client: one MIDI input port, midi_in, and one MIDI output port, midi_out,
// and the filter between them. Every cycle hands the cycle's incoming events to the filter, at
// their frames, as a plug-in host hands it a block, and writes what the filter returns to
// midi_out at the same frames, in the same cycle.
//
// Threads: construction, activate, endSoundingChord and destruction on the main thread. JACK's
// process thread runs the cycles: it allocates nothing and waits on nothing but filterLock.
// JACK's notification thread reports buffer-size changes (the filter is prepared there, under
// filterLock, never in a cycle), new ports and the server's going away (flags only).
class JackMidiClient
{
public:
    // Opens a client named clientName (JACK adds a suffix if it is taken) without ever starting
    // a server, registers the ports and prepares the filter for the server's buffer size. Throws
    // InputError, in one line, when no server runs or the client cannot be made.
    JackMidiClient (Corvadel& filter, const char* clientName);
    // Deactivates and closes the client, unless the server went away (no JACK call may be made
    // then).
    ~JackMidiClient();

    void activate();

    jack_client_t* getClient() const noexcept { return client; }
    jack_port_t* getInputPort() const noexcept { return inputPort; }
    jack_port_t* getOutputPort() const noexcept { return outputPort; }
    std::string getClientName() const;
    int getSampleRate() const noexcept { return sampleRate; }
    int getBufferSize() const noexcept { return bufferSize.load(); }

    // Any thread; wait on nothing.
    bool serverWentAway() const noexcept { return serverGone.load(); }
    // Whether a port appeared (or went) since the last call; true the first time.
    bool takePortsChanged() noexcept { return portsChanged.exchange (false); }
    uint64_t getCyclesRun() const noexcept { return cyclesRun.load(); }
    // When the first cycle began; meaningful once a cycle has run.
    std::chrono::steady_clock::time_point getFirstCycleTime() const noexcept
    {
        return std::chrono::steady_clock::time_point (std::chrono::steady_clock::duration (firstCycleTicks.load()));
    }
    // Microseconds the cycles took: their mean and the longest; events that found no room.
    double getMeanCycleMicroseconds() const noexcept;
    double getLongestCycleMicroseconds() const noexcept { return (double) longestCycleNanoseconds.load() / 1000.0; }
    uint64_t getDroppedEvents() const noexcept { return droppedEvents.load(); }

    // Asks the filter to end the sounding chord and waits until the cycle that sends its
    // note-offs has run (a second at most). Main thread, while the server is there.
    void endSoundingChord();

    // libjack's own messages, which would print several lines of their own: the last error is
    // kept for the program's one line, the rest is dropped. Main thread, before any client opens.
    static void quietLibjackMessages();
    static std::string lastLibjackError();

private:
    static int processCallback (jack_nframes_t frames, void* self);
    static int bufferSizeCallback (jack_nframes_t frames, void* self);
    static void shutdownCallback (jack_status_t, const char*, void* self);
    static void portRegistrationCallback (jack_port_id_t, int, void* self);

    void runCycle (jack_nframes_t frames);
    void readIncoming (void* inputBuffer, jack_nframes_t frames);
    void writeOutgoing (void* outputBuffer, jack_nframes_t frames);
    void recordCycleTime (int64_t nanoseconds) noexcept;
    void prepareFilter (int frames);

    Corvadel& filter;
    jack_client_t* client = nullptr;
    jack_port_t* inputPort = nullptr;
    jack_port_t* outputPort = nullptr;
    int sampleRate = 0;
    std::atomic<int> bufferSize { 0 };
    bool active = false;

    // The cycle's events on their way through the filter. Room for them is set aside before the
    // first cycle; an event that would not fit is dropped and counted, never allocated for.
    // Process thread only, after construction.
    juce::MidiBuffer cycleEvents;

    std::atomic<bool> serverGone { false };
    std::atomic<bool> portsChanged { true };
    std::atomic<uint64_t> cyclesRun { 0 };
    std::atomic<std::chrono::steady_clock::rep> firstCycleTicks { 0 };
    std::atomic<int64_t> totalCycleNanoseconds { 0 };
    std::atomic<int64_t> longestCycleNanoseconds { 0 };
    std::atomic<uint64_t> droppedEvents { 0 };

    JUCE_DECLARE_NON_COPYABLE (JackMidiClient)
};

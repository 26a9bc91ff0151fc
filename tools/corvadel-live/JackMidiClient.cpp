#include "JackMidiClient.h"

#include "InputError.h"

#include "engine/Corvadel.h"
#include "engine/MidiBufferLayout.h"
#include "engine/MidiEventAppender.h"

#include <jack/midiport.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

namespace
{
std::mutex libjackErrorLock;
std::string libjackError;

void keepLibjackError (const char* message)
{
    const std::lock_guard<std::mutex> lock (libjackErrorLock);
    libjackError = message != nullptr ? message : "";
}

void dropLibjackInfo (const char*)
{
}

int64_t nanosecondsSince (std::chrono::steady_clock::time_point start) noexcept
{
    return std::chrono::duration_cast<std::chrono::nanoseconds> (std::chrono::steady_clock::now() - start).count();
}
}

void JackMidiClient::quietLibjackMessages()
{
    jack_set_error_function (keepLibjackError);
    jack_set_info_function (dropLibjackInfo);
}

std::string JackMidiClient::lastLibjackError()
{
    const std::lock_guard<std::mutex> lock (libjackErrorLock);
    return libjackError;
}

JackMidiClient::JackMidiClient (Corvadel& filterToRun, const char* clientName) : filter (filterToRun)
{
    jack_status_t status {};
    client = jack_client_open (clientName, JackNoStartServer, &status);

    if (client == nullptr)
    {
        if ((status & JackServerFailed) != 0)
            throw InputError ("no JACK server is running (start jackd, or PipeWire with its JACK support); "
                              "corvadel-live never starts one");

        throw InputError ("the JACK server refused the client (" + lastLibjackError() + ")");
    }

    inputPort = jack_port_register (client, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    outputPort = jack_port_register (client, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);

    if (inputPort == nullptr || outputPort == nullptr)
    {
        jack_client_close (client);
        throw InputError ("the JACK server refused the MIDI ports (" + lastLibjackError() + ")");
    }

    sampleRate = (int) jack_get_sample_rate (client);
    cycleEvents.ensureSize (MidiBufferLayout::reservedBytes);
    prepareFilter ((int) jack_get_buffer_size (client));

    jack_set_process_callback (client, processCallback, this);
    jack_set_buffer_size_callback (client, bufferSizeCallback, this);
    jack_set_port_registration_callback (client, portRegistrationCallback, this);
    jack_on_info_shutdown (client, shutdownCallback, this);
}

JackMidiClient::~JackMidiClient()
{
    if (serverGone.load())
        return;

    if (active)
        jack_deactivate (client);

    jack_client_close (client);
}

void JackMidiClient::activate()
{
    if (jack_activate (client) != 0)
        throw InputError ("the JACK server would not run the client (" + lastLibjackError() + ")");

    active = true;
}

std::string JackMidiClient::getClientName() const
{
    return jack_get_client_name (client);
}

void JackMidiClient::prepareFilter (int frames)
{
    // The server stops the cycles while it changes the size; the lock keeps a cycle out anyway.
    const juce::ScopedLock sl (filter.filterLock);
    filter.sampleRate = sampleRate;
    filter.blockSize = frames;
    filter.prepareForPlayback (sampleRate, frames);
    bufferSize = frames;
}

int JackMidiClient::bufferSizeCallback (jack_nframes_t frames, void* self)
{
    static_cast<JackMidiClient*> (self)->prepareFilter ((int) frames);
    return 0;
}

void JackMidiClient::shutdownCallback (jack_status_t, const char*, void* self)
{
    static_cast<JackMidiClient*> (self)->serverGone = true;
}

void JackMidiClient::portRegistrationCallback (jack_port_id_t, int, void* self)
{
    static_cast<JackMidiClient*> (self)->portsChanged = true;
}

int JackMidiClient::processCallback (jack_nframes_t frames, void* self)
{
    static_cast<JackMidiClient*> (self)->runCycle (frames);
    return 0;
}

void JackMidiClient::runCycle (jack_nframes_t frames)
{
    const auto start = std::chrono::steady_clock::now();

    if (cyclesRun.load() == 0)
        firstCycleTicks = start.time_since_epoch().count();

    void* inputBuffer = jack_port_get_buffer (inputPort, frames);
    void* outputBuffer = jack_port_get_buffer (outputPort, frames);
    jack_midi_clear_buffer (outputBuffer);

    readIncoming (inputBuffer, frames);

    {
        // The filter reads no audio: views of no channels, as the plug-in formats give it.
        static float* noChannels[1] = { nullptr };
        juce::AudioBuffer<float> noAudio (noChannels, 0, (int) frames);
        const juce::ScopedLock sl (filter.filterLock);
        filter.processNextBlock (noAudio, noAudio, false, cycleEvents);
    }

    writeOutgoing (outputBuffer, frames);
    recordCycleTime (nanosecondsSince (start));
    cyclesRun.fetch_add (1);
}

void JackMidiClient::readIncoming (void* inputBuffer, jack_nframes_t frames)
{
    MidiEventAppender appender (cycleEvents);
    appender.clear();
    const auto count = jack_midi_get_event_count (inputBuffer);
    const int lastFrame = std::max (0, (int) frames - 1);

    for (uint32_t i = 0; i < count; ++i)
    {
        jack_midi_event_t event;

        if (jack_midi_event_get (&event, inputBuffer, i) != 0 || event.size == 0)
            continue;

        if ((size_t) cycleEvents.data.size() + MidiBufferLayout::eventHeaderSize + event.size > MidiBufferLayout::reservedBytes)
        {
            droppedEvents.fetch_add (1);
            continue;
        }

        appender.add (event.buffer, (int) event.size, std::min ((int) event.time, lastFrame));
    }
}

void JackMidiClient::writeOutgoing (void* outputBuffer, jack_nframes_t frames)
{
    const int lastFrame = std::max (0, (int) frames - 1);

    for (const auto event : cycleEvents)
    {
        const auto frame = (jack_nframes_t) std::clamp (event.samplePosition, 0, lastFrame);

        if (jack_midi_event_write (outputBuffer, frame, event.data, (size_t) event.numBytes) != 0)
            droppedEvents.fetch_add (1);
    }

    cycleEvents.clear();
}

void JackMidiClient::recordCycleTime (int64_t nanoseconds) noexcept
{
    totalCycleNanoseconds.fetch_add (nanoseconds);

    if (nanoseconds > longestCycleNanoseconds.load())
        longestCycleNanoseconds = nanoseconds;
}

double JackMidiClient::getMeanCycleMicroseconds() const noexcept
{
    const auto cycles = cyclesRun.load();
    return cycles == 0 ? 0.0 : (double) totalCycleNanoseconds.load() / (double) cycles / 1000.0;
}

void JackMidiClient::endSoundingChord()
{
    filter.requestStop();

    // The stop is sent by the first cycle that begins after it; two cycles later it has surely
    // gone out.
    const auto target = cyclesRun.load() + 2;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds (1);

    while (cyclesRun.load() < target && ! serverGone.load() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for (std::chrono::milliseconds (1));
}

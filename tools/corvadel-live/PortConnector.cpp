#include "PortConnector.h"

#include "JackMidiClient.h"

#include <cerrno>
#include <iostream>

PortConnector::PortConnector (jack_client_t* jackClient, jack_port_t* inputPort, jack_port_t* outputPort,
                              std::vector<std::string> inputs, std::vector<std::string> outputs)
    : client (jackClient),
      inputName (jack_port_name (inputPort)),
      outputName (jack_port_name (outputPort)),
      inputPatterns (std::move (inputs)),
      outputPatterns (std::move (outputs))
{
}

bool PortConnector::matchesAny (const std::string& portName, const std::vector<std::string>& patterns)
{
    for (const auto& pattern : patterns)
        if (portName.find (pattern) != std::string::npos)
            return true;

    return false;
}

void PortConnector::connectNewPorts()
{
    if (inputPatterns.empty() && outputPatterns.empty())
        return;

    const char** names = jack_get_ports (client, nullptr, JACK_DEFAULT_MIDI_TYPE, 0);
    std::set<std::string> present;

    for (auto** name = names; name != nullptr && *name != nullptr; ++name)
    {
        const std::string portName (*name);
        present.insert (portName);
        jack_port_t* port = jack_port_by_name (client, *name);

        if (portsSeen.count (portName) != 0 || port == nullptr || jack_port_is_mine (client, port))
            continue;

        const int flags = jack_port_flags (port);

        if ((flags & JackPortIsOutput) != 0 && matchesAny (portName, inputPatterns))
            connect (portName, inputName);
        else if ((flags & JackPortIsInput) != 0 && matchesAny (portName, outputPatterns))
            connect (outputName, portName);
    }

    jack_free (names);
    portsSeen = std::move (present);
}

void PortConnector::connect (const std::string& source, const std::string& destination)
{
    const int result = jack_connect (client, source.c_str(), destination.c_str());

    if (result == 0 || result == EEXIST)
        std::cout << "corvadel-live: connected " << source << " to " << destination << std::endl;
    else
        std::cerr << "corvadel-live: cannot connect " << source << " to " << destination << " ("
                  << JackMidiClient::lastLibjackError() << ")" << std::endl;
}

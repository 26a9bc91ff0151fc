#pragma once

#include <jack/jack.h>

#include <set>
#include <string>
#include <vector>

// Connects the program's ports to the ports the player named: midi_in from every MIDI output
// port whose full name contains an input pattern, midi_out to every MIDI input port whose full
// name contains an output pattern, never to the program's own ports. A port is connected when it
// first appears (at the start, or later: a keyboard plugged in mid-show); one the player
// disconnects by hand stays disconnected until it goes and comes back.
//
// Threads: the main thread only (JACK forbids connecting from its callbacks); waits on the
// server.
class PortConnector
{
public:
    PortConnector (jack_client_t* client, jack_port_t* inputPort, jack_port_t* outputPort,
                   std::vector<std::string> inputPatterns, std::vector<std::string> outputPatterns);

    // Connects the matching ports that appeared since the last call; prints one line for each
    // connection made or refused.
    void connectNewPorts();

private:
    static bool matchesAny (const std::string& portName, const std::vector<std::string>& patterns);
    void connect (const std::string& source, const std::string& destination);

    jack_client_t* client;
    std::string inputName, outputName;
    std::vector<std::string> inputPatterns, outputPatterns;
    std::set<std::string> portsSeen;
};

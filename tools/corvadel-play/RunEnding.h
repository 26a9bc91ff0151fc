#pragma once

#include "PluginSession.h"

#include <cstdint>
#include <vector>

// The end of a run, as the editor's Stop ends a chord: a note-off (status 0x80 on the note's
// channel, velocity 0) for every note the plug-in left sounding (the chord on the channel and at
// the transposition it was started with, and any note it passed through), so that every note-on
// in the written file has its note-off.
class RunEnding
{
public:
    // Main thread; waits on nothing. The note-offs, all at samplePosition, channel by channel in
    // note order, for the notes that events leave sounding: a note-on above velocity 0 starts a
    // note on its channel, a note-off or a note-on at velocity 0 ends it.
    static std::vector<PluginSession::ReturnedEvent> noteOffsFor (const std::vector<PluginSession::ReturnedEvent>& events,
                                                                  int64_t samplePosition);
};

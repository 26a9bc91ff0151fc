#include "tests/fuzz/FuzzCounts.h"

void FuzzCounts::print (std::ostream& out) const
{
    out << "  rounds (seeds): " << rounds << ", library loads: " << libraryLoads
        << " (reloads: " << (libraryLoads > 0 ? libraryLoads - 1 : 0) << "), instances: " << instances << "\n"
        << "  chunks given: " << chunksGiven << " (accepted " << chunksAccepted << ", refused " << chunksRefused
        << "), own chunks handed back: " << ownChunksHandedBack << ", saved states compared: " << savedStatesCompared << "\n"
        << "  event lists: " << eventLists << " (" << eventRecords << " entries), blocks: " << blocks << " (0 frames: "
        << emptyBlocks << ", 1 frame: " << oneFrameBlocks << ", 4096 frames or more: " << longBlocks << ")\n"
        << "  presses: " << presses << ", note-ons: " << noteOns << ", note-offs: " << noteOffs << "\n"
        << "  dispatcher calls: " << dispatcherCalls << ", editor size queries: " << editorSizeQueries
        << ", editor open requests: " << editorOpenRequests << ", editor closes: " << editorCloses << "\n";
}

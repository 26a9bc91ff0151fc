#include "engine/ChordNamer.h"

#include "engine/ChordQualities.h"
#include "engine/NoteSpelling.h"

#include <algorithm>
#include <tuple>

const char* const ChordNamer::noChord = "N.C.";

namespace
{
uint16_t rotatedDown (uint16_t pitchClasses, int root) noexcept
{
    const unsigned all = (unsigned) pitchClasses | ((unsigned) pitchClasses << 12);
    return (uint16_t) ((all >> root) & 0xFFF);
}

bool contains (uint16_t pitchClasses, int pitchClass) noexcept
{
    return (pitchClasses >> pitchClass) & 1u;
}

// The letters above the root for a bass that is no note of the chord: a flat second, a sharp
// fourth, a flat sixth and seventh (C/Db, C/F#, C/Ab, C/Bb).
constexpr int letterStepsForInterval[12] = { 0, 1, 1, 2, 2, 3, 3, 4, 5, 5, 6, 6 };
}

struct ChordNamer::Candidate
{
    int root;
    int quality;  // index into ChordQualities::all()
    int cost;
    bool rootIsBass;
    int rootAboveBass;

    auto rank() const { return std::make_tuple (cost, rootIsBass ? 0 : 1, quality, rootAboveBass); }
};

juce::String ChordNamer::name (const std::vector<int>& notes)
{
    if (notes.empty())
        return noChord;

    const int bass = notes.front() % 12;
    uint16_t above = 0;

    for (size_t i = 1; i < notes.size(); ++i)
        above |= (uint16_t) (1u << (notes[i] % 12));

    std::vector<Candidate> candidates;
    addCandidates ((uint16_t) (above | (1u << bass)), bass, false, candidates);

    if (! contains (above, bass))
        addCandidates (above, bass, true, candidates);

    if (candidates.empty())
        return noteList (notes);

    const auto best = std::min_element (candidates.begin(), candidates.end(),
                                        [] (const Candidate& a, const Candidate& b) { return a.rank() < b.rank(); });
    return nameOf (*best, bass);
}

void ChordNamer::addCandidates (uint16_t pitchClasses, int bass, bool bassIsExtra, std::vector<Candidate>& candidates)
{
    const auto& qualities = ChordQualities::all();

    for (int root = 0; root < 12; ++root)
    {
        if (! contains (pitchClasses, root))
            continue;

        const int quality = ChordQualities::findIntervals (rotatedDown (pitchClasses, root));

        if (quality < 0)
            continue;

        const bool rootIsBass = root == bass && ! bassIsExtra;
        const int cost = qualities[(size_t) quality].cost + (rootIsBass ? 0 : ChordQualities::slashCost);
        candidates.push_back ({ root, quality, cost, rootIsBass, (root - bass + 12) % 12 });
    }
}

juce::String ChordNamer::nameOf (const Candidate& candidate, int bass)
{
    const auto& quality = ChordQualities::all()[(size_t) candidate.quality];
    const auto root = NoteSpelling::root (candidate.root, quality.minorThird);
    auto text = root.text() + quality.suffix;

    if (candidate.rootIsBass)
        return text;

    // A chord note in the bass is spelled as that note of the chord (D/F#, Caug/G#), any other
    // as its interval above the root (C/Bb); on a white key it is always the plain letter.
    const int bassAboveRoot = (bass - candidate.root + 12) % 12;
    const auto* degree = quality.degreeAt (bassAboveRoot);
    const int letterSteps = degree != nullptr ? degree->letterSteps : letterStepsForInterval[bassAboveRoot];
    const auto spelled = NoteSpelling::above (root, bassAboveRoot, letterSteps);
    return text + "/" + NoteSpelling::readable (spelled, quality.minorThird).text();
}

juce::String ChordNamer::noteList (const std::vector<int>& notes)
{
    juce::StringArray names;

    for (int note : notes)
        names.add (NoteSpelling::withOctave (note));

    return "[" + names.joinIntoString (" ") + "]";
}

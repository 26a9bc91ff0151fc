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

// Which names a player reaches for first, best first. Within a preference the plainest name
// wins (a slash counting slashCost more), then the one over its own root, then the commoner kind.
enum class ChordNamer::Preference
{
    // C7, Cm6, C6 over C; inversions of a triad or seventh chord (C/E, Am7/G, Am/C); a major or
    // minor triad over a bass outside it (C/D, F/G, Bb/C).
    completeWithThird,
    // C7 as C E Bb, Am11 as A G C D: over the bass, a fifth or ninth left out.
    bassNameWithOmissions,
    // Whole names over the bass without a third (Csus4, G9sus4), and slashes of other kinds
    // (Dm7/G, Cadd9/E).
    otherCompleteName,
    // C7sus4 as C F Bb.
    susNameWithOmissions,
    // E5/C, Gsus4/A, Bbdim/C: only when nothing above fits.
    fragmentOverAnotherBass,
};

struct ChordNamer::Candidate
{
    int root;
    int quality;  // index into ChordQualities::all()
    Preference preference;
    int cost;
    bool rootIsBass;
    int rootAboveBass;

    auto rank() const { return std::make_tuple (preference, cost, rootIsBass ? 0 : 1, quality, rootAboveBass); }
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

        const bool rootIsBass = root == bass && ! bassIsExtra;
        const auto intervals = rotatedDown (pitchClasses, root);

        for (size_t index = 0; index < qualities.size(); ++index)
        {
            const auto& quality = qualities[index];
            const int omitted = quality.omittedFrom (intervals);

            // Only a name over its own root may leave notes out: read back, a slash name gives
            // its whole chord, which must be named the same way.
            if (omitted < 0 || (omitted > 0 && ! rootIsBass) || (! rootIsBass && ! quality.takesASlashBass()))
                continue;

            const int cost = quality.cost + omitted + (rootIsBass ? 0 : ChordQualities::slashCost);
            candidates.push_back ({ root, (int) index, preferenceOf (quality, rootIsBass, omitted > 0, bassIsExtra), cost,
                                    rootIsBass, (root - bass + 12) % 12 });
        }
    }
}

ChordNamer::Preference ChordNamer::preferenceOf (const ChordQualities::Quality& quality, bool rootIsBass, bool omits,
                                                 bool bassIsExtra)
{
    if (rootIsBass && omits)
        return quality.hasThird ? Preference::bassNameWithOmissions : Preference::susNameWithOmissions;

    if (rootIsBass)
        return quality.hasThird ? Preference::completeWithThird : Preference::otherCompleteName;

    if (quality.isFragment())
        return Preference::fragmentOverAnotherBass;

    if (! bassIsExtra && quality.keepsItsInversions())
        return Preference::completeWithThird;

    if (bassIsExtra && quality.isMajorOrMinorTriad())
        return Preference::completeWithThird;

    return Preference::otherCompleteName;
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

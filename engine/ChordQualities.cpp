#include "engine/ChordQualities.h"

namespace
{
struct Row
{
    const char* suffix;
    const char* degrees;        // "1 b3 5 b7": scale degrees above the root
    const char* omissible;      // "5 9": degrees a player may leave out of the chord
    int cost;
    const char* otherSpellings;  // UTF-8, separated by spaces
};

// The commoner kinds first: on a tie between two equally plain names (Am7/G or C6/G for
// G A C E), the earlier one is chosen.
constexpr Row rows[] = {
    { "", "1 3 5", "", 0, "M maj major" },
    { "m", "1 b3 5", "", 0, "min mi minor -" },
    { "7", "1 3 5 b7", "5", 1, "dom7" },
    { "m7", "1 b3 5 b7", "5", 1, "min7 mi7 -7" },
    { "maj7", "1 3 5 7", "5", 1, "M7 Maj7 ma7 \xce\x94 \xce\x94" "7" },
    { "6", "1 3 5 6", "5", 1, "maj6 M6 add6 add13" },
    { "m6", "1 b3 5 6", "5", 1, "min6 mi6 -6" },
    { "sus4", "1 4 5", "", 1, "sus" },
    { "sus2", "1 2 5", "", 1, "" },
    { "dim", "1 b3 b5", "", 1, "\xc2\xb0 o mb5" },
    { "aug", "1 3 #5", "", 1, "+ +5" },
    { "m7b5", "1 b3 b5 b7", "", 1, "\xc3\xb8 \xc3\xb8" "7 min7b5 mi7b5 -7b5" },
    { "dim7", "1 b3 b5 bb7", "", 1, "\xc2\xb0" "7 o7" },
    { "5", "1 5", "", 1, "" },
    { "add9", "1 3 5 9", "", 2, "add2 2" },
    { "madd9", "1 b3 5 9", "", 2, "madd2 minadd9 -add9" },
    { "7sus4", "1 4 5 b7", "5", 2, "7sus" },
    { "9", "1 3 5 b7 9", "5", 2, "dom9" },
    { "m9", "1 b3 5 b7 9", "5", 2, "min9 mi9 -9" },
    { "maj9", "1 3 5 7 9", "5", 2, "M9 Maj9 ma9 \xce\x94" "9" },
    { "6/9", "1 3 5 6 9", "5", 2, "69 6add9" },
    { "m6/9", "1 b3 5 6 9", "5", 3, "m69 min69 -69 m6add9" },
    { "11", "1 3 5 b7 9 11", "5 9", 3, "dom11" },
    { "m11", "1 b3 5 b7 9 11", "5 9", 3, "min11 mi11 -11" },
    { "13", "1 3 5 b7 9 13", "5 9", 3, "dom13" },
    { "m13", "1 b3 5 b7 9 13", "5 9", 3, "min13 mi13 -13" },
    { "7b9", "1 3 5 b7 b9", "5", 3, "" },
    { "7#9", "1 3 5 b7 #9", "5", 3, "" },
    { "7b5", "1 3 b5 b7", "", 3, "" },
    { "7#5", "1 3 #5 b7", "", 3, "aug7 +7 7+ 7+5" },
    { "9sus4", "1 4 5 b7 9", "5", 3, "9sus" },
    { "m(maj7)", "1 b3 5 7", "5", 3, "mMaj7 mM7 m/maj7 minmaj7 -maj7 -\xce\x94" "7" },
    { "maj7#5", "1 3 #5 7", "", 3, "M7#5 +maj7 augmaj7 maj7+ \xce\x94" "7#5" },
    { "7#11", "1 3 5 b7 #11", "5", 3, "" },
    { "maj7#11", "1 3 5 7 #11", "5", 3, "M7#11 \xce\x94" "7#11 \xce\x94#11" },
    { "add11", "1 3 4 5", "", 3, "add4" },
    { "madd11", "1 b3 4 5", "", 3, "madd4" },
    { "(b5)", "1 3 b5", "", 3, "majb5" },
    { "7sus2", "1 2 5 b7", "5", 3, "" },
    { "maj7b5", "1 3 b5 7", "", 4, "M7b5 \xce\x94" "7b5" },
    { "m(maj9)", "1 b3 5 7 9", "5", 4, "mMaj9 mM9 -maj9" },
    { "m7b9", "1 b3 5 b7 b9", "5", 4, "-7b9" },
    { "9b5", "1 3 b5 b7 9", "", 4, "" },
    { "9#5", "1 3 #5 b7 9", "", 4, "aug9 +9 9+" },
    { "7b5b9", "1 3 b5 b7 b9", "", 4, "7b9b5" },
    { "7b5#9", "1 3 b5 b7 #9", "", 4, "7#9b5" },
    { "7#5b9", "1 3 #5 b7 b9", "", 4, "7b9#5 +7b9" },
    { "7#5#9", "1 3 #5 b7 #9", "", 4, "7#9#5 +7#9" },
    { "m9b5", "1 b3 b5 b7 9", "", 4, "\xc3\xb8" "9 -9b5" },
    { "7alt", "1 3 #5 b7 b9 #9", "", 4, "alt" },
    { "maj11", "1 3 5 7 9 11", "5 9", 4, "M11 \xce\x94" "11" },
    { "9#11", "1 3 5 b7 9 #11", "5", 4, "" },
    { "maj9#11", "1 3 5 7 9 #11", "5", 4, "M9#11 \xce\x94" "9#11" },
    { "maj13", "1 3 5 7 9 13", "5 9", 4, "M13 Maj13 \xce\x94" "13" },
    { "13sus4", "1 4 5 b7 9 13", "5 9", 4, "13sus" },
    { "13b9", "1 3 5 b7 b9 13", "5", 4, "" },
    { "13#9", "1 3 5 b7 #9 13", "5", 4, "" },
    { "13#11", "1 3 5 b7 9 #11 13", "5 9", 4, "" },
    { "7b13", "1 3 5 b7 b13", "5", 4, "" },
};

// "b7" is 10 semitones and 6 letters above the root; "#11" 18 and 10, an octave higher.
ChordQualities::Degree degreeOf (const juce::String& text)
{
    static constexpr int majorScale[7] = { 0, 2, 4, 5, 7, 9, 11 };
    const auto number = text.trimCharactersAtStart ("b#").getIntValue();
    const int raised = text.length() - text.trimCharactersAtStart ("#").length();
    const int lowered = text.length() - text.trimCharactersAtStart ("b").length();
    const int step = number - 1;
    return { majorScale[step % 7] + 12 * (step / 7) + raised - lowered, step };
}

ChordQualities::Quality qualityOf (const Row& row)
{
    ChordQualities::Quality quality;
    quality.suffix = row.suffix;
    quality.otherSpellings = juce::StringArray::fromTokens (juce::String::fromUTF8 (row.otherSpellings), " ", "");
    quality.cost = row.cost;

    for (const auto& token : juce::StringArray::fromTokens (row.degrees, " ", ""))
    {
        const auto degree = degreeOf (token);
        quality.degrees.push_back (degree);
        quality.intervals |= (uint16_t) (1u << (degree.semitones % 12));
        quality.minorThird = quality.minorThird || token == "b3";
        quality.hasThird = quality.hasThird || token == "b3" || token == "3";
        quality.hasSixthOrSeventh = quality.hasSixthOrSeventh || degree.letterSteps == 5 || degree.letterSteps == 6;
        quality.flatFifth = quality.flatFifth || token == "b5";
    }

    for (const auto& token : juce::StringArray::fromTokens (row.omissible, " ", ""))
        quality.omissible |= (uint16_t) (1u << (degreeOf (token).semitones % 12));

    return quality;
}

std::vector<ChordQualities::Quality> buildTable()
{
    std::vector<ChordQualities::Quality> table;

    for (const auto& row : rows)
        table.push_back (qualityOf (row));

    return table;
}
}

const ChordQualities::Degree* ChordQualities::Quality::degreeAt (int semitones) const noexcept
{
    for (const auto& degree : degrees)
        if (degree.semitones % 12 == semitones % 12)
            return &degree;

    return nullptr;
}

const std::vector<ChordQualities::Quality>& ChordQualities::all()
{
    static const auto table = buildTable();
    return table;
}

int ChordQualities::Quality::omittedFrom (uint16_t notes) const noexcept
{
    const auto missing = (uint16_t) (intervals & ~notes);

    if ((notes & ~intervals) != 0 || (missing & ~omissible) != 0)
        return -1;

    int count = 0;

    for (auto rest = missing; rest != 0; rest &= (uint16_t) (rest - 1))
        ++count;

    return count;
}

bool ChordQualities::Quality::isFragment() const noexcept
{
    return degrees.size() <= 3 && (! hasThird || flatFifth);
}

bool ChordQualities::Quality::keepsItsInversions() const noexcept
{
    return hasThird && ! isFragment() && (degrees.size() == 3 || (degrees.size() == 4 && hasSixthOrSeventh));
}

bool ChordQualities::Quality::isMajorOrMinorTriad() const noexcept
{
    return intervals == ((1u << 0) | (1u << 4) | (1u << 7)) || intervals == ((1u << 0) | (1u << 3) | (1u << 7));
}

bool ChordQualities::Quality::takesASlashBass() const noexcept
{
    return ! suffix.containsChar ('/');
}

juce::String ChordQualities::normalised (const juce::String& suffix)
{
    return suffix.removeCharacters ("(), ");
}

bool ChordQualities::bracketsPair (const juce::String& suffix)
{
    int opened = -1;  // where the open bracket is, or -1
    int index = 0;

    for (auto c = suffix.getCharPointer(); ! c.isEmpty(); ++index)
    {
        const auto current = c.getAndAdvance();

        if (current == '(')
        {
            if (opened >= 0)
                return false;

            opened = index;
        }
        else if (current == ')')
        {
            // A closing bracket needs an open one with something between them.
            if (opened < 0 || opened == index - 1)
                return false;

            opened = -1;
        }
    }

    return opened < 0;
}

int ChordQualities::findSuffix (const juce::String& suffix)
{
    if (! bracketsPair (suffix))
        return -1;

    const auto wanted = normalised (suffix);
    const auto& table = all();

    for (size_t i = 0; i < table.size(); ++i)
    {
        if (normalised (table[i].suffix) == wanted)
            return (int) i;

        for (const auto& other : table[i].otherSpellings)
            if (normalised (other) == wanted)
                return (int) i;
    }

    return -1;
}

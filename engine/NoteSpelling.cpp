#include "engine/NoteSpelling.h"

#include <cstring>

namespace
{
constexpr int lettersPerOctave = 7;
constexpr const char* letterNames = "CDEFGAB";
constexpr int naturalPitchClasses[lettersPerOctave] = { 0, 2, 4, 5, 7, 9, 11 };

int wrap (int value, int modulus) noexcept
{
    return ((value % modulus) + modulus) % modulus;
}

// The letter to write each pitch class with: the black keys as flats, as sharps for the
// minor-third family's C#, G#.
constexpr NoteSpelling::Spelled flatFamily[12] = { { 0, 0 }, { 1, -1 }, { 1, 0 }, { 2, -1 }, { 2, 0 }, { 3, 0 },
                                                   { 3, 1 }, { 4, 0 }, { 5, -1 }, { 5, 0 }, { 6, -1 }, { 6, 0 } };
constexpr NoteSpelling::Spelled sharpFamily[12] = { { 0, 0 }, { 0, 1 }, { 1, 0 }, { 2, -1 }, { 2, 0 }, { 3, 0 },
                                                    { 3, 1 }, { 4, 0 }, { 4, 1 }, { 5, 0 }, { 6, -1 }, { 6, 0 } };
}

int NoteSpelling::Spelled::pitchClass() const noexcept
{
    return wrap (naturalPitchClasses[wrap (letter, lettersPerOctave)] + accidental, 12);
}

juce::String NoteSpelling::Spelled::text() const
{
    juce::String name = juce::String::charToString ((juce::juce_wchar) letterNames[wrap (letter, lettersPerOctave)]);

    for (int i = 0; i < accidental; ++i)
        name << "#";

    for (int i = 0; i < -accidental; ++i)
        name << "b";

    return name;
}

NoteSpelling::Spelled NoteSpelling::root (int pitchClass, bool minorThird) noexcept
{
    return (minorThird ? sharpFamily : flatFamily)[wrap (pitchClass, 12)];
}

NoteSpelling::Spelled NoteSpelling::above (Spelled rootNote, int semitones, int letterSteps) noexcept
{
    const int letter = wrap (rootNote.letter + letterSteps, lettersPerOctave);
    const int wanted = wrap (rootNote.pitchClass() + semitones, 12);
    // The accidental that moves the letter onto the wanted pitch class, the short way round.
    const int accidental = wrap (wanted - naturalPitchClasses[letter] + 6, 12) - 6;
    return { letter, accidental };
}

NoteSpelling::Spelled NoteSpelling::readable (Spelled spelled, bool minorThird) noexcept
{
    const int pitchClass = spelled.pitchClass();
    const auto plain = root (pitchClass, minorThird);

    if (plain.accidental == 0 || spelled.accidental < -1 || spelled.accidental > 1)
        return plain;

    return spelled;
}

juce::String NoteSpelling::withOctave (int midiNote)
{
    static constexpr const char* sharpNames[12] = { "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" };
    // Note 0 is C-1, so middle C (60) is C4.
    const int octave = midiNote / 12 - 1;
    return juce::String (sharpNames[wrap (midiNote, 12)]) + juce::String (octave);
}

int NoteSpelling::read (const juce::String& text, int start, Spelled& spelled)
{
    // Walked with a pointer: indexing a string walks it from its start every time.
    auto c = text.getCharPointer() + start;
    const auto letterChar = c.getAndAdvance();
    const auto* found = letterChar > 0 && letterChar < 128 ? std::strchr (letterNames, (int) letterChar) : nullptr;

    if (found == nullptr)
        return 0;

    spelled = { (int) (found - letterNames), 0 };
    int length = 1;

    for (;; ++length)
    {
        const auto sign = c.getAndAdvance();

        if (sign == '#')
            ++spelled.accidental;
        else if (sign == 'b')
            --spelled.accidental;
        else
            return length;
    }
}

bool NoteSpelling::readWithOctave (const juce::String& text, int& midiNote)
{
    Spelled spelled;
    const int letterLength = read (text, 0, spelled);
    const auto octaveText = text.substring (letterLength);

    // An octave is an optional minus sign and one or two digits: C-1 to G9.
    if (letterLength == 0 || ! isUsual (spelled) || octaveText.isEmpty() || octaveText.length() > 3
        || ! octaveText.trimCharactersAtStart ("-").containsOnly ("0123456789")
        || octaveText.trimCharactersAtStart ("-").isEmpty() || octaveText.lastIndexOfChar ('-') > 0)
        return false;

    // The octave follows the letter, so B#3 is C4 and Cb4 is B3.
    const int octave = octaveText.getIntValue();
    const int note = (octave + 1) * 12 + naturalPitchClasses[spelled.letter] + spelled.accidental;

    if (note < 0 || note > 127)
        return false;

    midiNote = note;
    return true;
}

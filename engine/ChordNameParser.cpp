#include "engine/ChordNameParser.h"

#include "engine/ChordQualities.h"
#include "engine/NoteSpelling.h"

#include <algorithm>
#include <set>

namespace
{
juce::String withPlainSigns (const juce::String& name)
{
    return name.trim()
        .replace (juce::String::charToString ((juce::juce_wchar) 0x266D), "b")   // ♭
        .replace (juce::String::charToString ((juce::juce_wchar) 0x266F), "#")   // ♯
        .replace (juce::String::charToString ((juce::juce_wchar) 0x2212), "-");  // −
}

bool isNoChord (const juce::String& name)
{
    return name == "N.C." || name == "NC" || name == "N.C";
}
}

juce::String ChordNameParser::quoted (const juce::String& text)
{
    if (text.length() <= maxQuotedLength)
        return "'" + text + "'";

    return "'" + text.substring (0, maxQuotedLength - 3) + "...'";
}

juce::Result ChordNameParser::parse (const juce::String& written, std::vector<int>& notes)
{
    const auto name = withPlainSigns (written);

    if (name.isEmpty())
        return juce::Result::fail ("an empty name");

    if (isNoChord (name))
    {
        notes.clear();
        return juce::Result::ok();
    }

    if (name.startsWithChar ('['))
        return parseNoteList (name, notes);

    return parseChord (name, notes);
}

juce::Result ChordNameParser::parseNoteList (const juce::String& list, std::vector<int>& notes)
{
    if (! list.endsWithChar (']'))
        return juce::Result::fail ("a note list without its closing ']'");

    const auto inside = juce::StringArray::fromTokens (list.substring (1, list.length() - 1), " ,", "");
    std::set<int> found;

    for (const auto& token : inside)
    {
        if (token.isEmpty())
            continue;

        int note = 0;

        if (! NoteSpelling::readWithOctave (token, note))
            return juce::Result::fail (quoted (token) + " is no note from C-1 to G9");

        found.insert (note);
    }

    if (found.empty())
        return juce::Result::fail ("a note list without notes (an empty column is N.C.)");

    notes.assign (found.begin(), found.end());
    return juce::Result::ok();
}

int ChordNameParser::bassSlashIn (const juce::String& name)
{
    int found = -1, index = 0;

    for (auto c = name.getCharPointer(); ! c.isEmpty(); ++index)
    {
        const auto current = c.getAndAdvance();

        if (current == '/' && index > 0 && juce::String ("ABCDEFG").containsChar (*c))
            found = index;
    }

    return found;
}

juce::Result ChordNameParser::parseChord (const juce::String& name, std::vector<int>& notes)
{
    NoteSpelling::Spelled root;
    const int rootLength = NoteSpelling::read (name, 0, root);

    if (rootLength == 0)
        return juce::Result::fail ("a chord name starts with a note letter from A to G");

    if (! NoteSpelling::isUsual (root))
        return juce::Result::fail ("a note takes at most two sharps or flats");

    const int slash = bassSlashIn (name);
    const auto suffix = name.substring (rootLength, slash < 0 ? name.length() : slash);
    const int quality = ChordQualities::findSuffix (suffix);

    if (quality < 0)
        return juce::Result::fail ("no chord kind is spelled " + quoted (suffix));

    int bass = root.pitchClass();

    if (slash >= 0)
    {
        const auto bassText = name.substring (slash + 1);
        NoteSpelling::Spelled bassNote;

        if (NoteSpelling::read (bassText, 0, bassNote) != bassText.length() || ! NoteSpelling::isUsual (bassNote))
            return juce::Result::fail (quoted (bassText) + " after the slash is no note");

        bass = bassNote.pitchClass();
    }

    std::set<int> voiced { bassOctaveC + bass };

    for (const auto& degree : ChordQualities::all()[(size_t) quality].degrees)
        voiced.insert (chordOctaveC + (root.pitchClass() + degree.semitones) % 12);

    notes.assign (voiced.begin(), voiced.end());
    return juce::Result::ok();
}

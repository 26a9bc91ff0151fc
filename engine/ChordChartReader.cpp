#include "engine/ChordChartReader.h"

#include "engine/ChordNameParser.h"
#include "engine/ChordVocabulary.h"

#include <algorithm>
#include <vector>

namespace
{
struct Word
{
    juce::String text;
    int line, bar, chord;
};

// The length of the UTF-8 sequence that starts here, or 0 when it is no character a chart may
// hold: a control character other than tab and line ends, a malformed or overlong sequence, a
// surrogate or a code point past U+10FFFF.
size_t characterLength (const uint8_t* bytes, size_t size)
{
    const uint8_t lead = bytes[0];

    if (lead < 0x80)
        return (lead >= 0x20 && lead != 0x7F) || lead == '\t' || lead == '\n' || lead == '\r' ? 1 : 0;

    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;

    if (length == 0 || lead > 0xF4 || size < length)
        return 0;

    uint32_t codePoint = lead & (0x7F >> length);

    for (size_t i = 1; i < length; ++i)
    {
        if ((bytes[i] & 0xC0) != 0x80)
            return 0;

        codePoint = (codePoint << 6) | (bytes[i] & 0x3F);
    }

    static constexpr uint32_t smallest[] = { 0, 0, 0x80, 0x800, 0x10000 };
    const bool control = codePoint >= 0x80 && codePoint < 0xA0;
    const bool surrogate = codePoint >= 0xD800 && codePoint < 0xE000;
    return codePoint < smallest[length] || codePoint > 0x10FFFF || control || surrogate ? 0 : length;
}

bool isSpace (juce::juce_wchar c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Splits the chart into names and their places. A note list runs from '[' to ']', spaces and
// all; a bar line closes a bar only when the bar holds a chord, so "| C | | D |" has two bars.
// Works on the text's code points: indexing a juce::String walks it from the start each time.
class WordReader
{
public:
    explicit WordReader (const juce::String& chart)
    {
        for (auto c = chart.getCharPointer(); ! c.isEmpty();)
            text.push_back (c.getAndAdvance());
    }

    std::vector<Word> read()
    {
        std::vector<Word> words;

        while (position < text.size())
        {
            const auto c = text[position];

            if (c == '\n')
            {
                ++line;
                ++position;
            }
            else if (isSpace (c))
            {
                ++position;
            }
            else if (c == '|')
            {
                closeBar();
                ++position;
            }
            else
            {
                words.push_back ({ readWord(), line, bar, ++chordInBar });
            }
        }

        return words;
    }

private:
    juce::String readWord()
    {
        const size_t start = position;

        if (text[position] == '[')
        {
            while (position < text.size() && text[position] != ']' && text[position] != '\n')
                ++position;

            // The closing bracket belongs to the word; a missing one is the parser's to report.
            if (position < text.size() && text[position] == ']')
                ++position;
        }
        else
        {
            while (position < text.size() && ! isSpace (text[position]) && text[position] != '|')
                ++position;
        }

        return juce::String (juce::CharPointer_UTF32 (text.data() + start), juce::CharPointer_UTF32 (text.data() + position));
    }

    void closeBar()
    {
        if (chordInBar > 0)
            ++bar;

        chordInBar = 0;
    }

    std::vector<juce::juce_wchar> text;
    size_t position = 0;
    int line = 1, bar = 1, chordInBar = 0;
};
}

ChordChartReader::Result ChordChartReader::read (const juce::String& chart)
{
    const auto words = WordReader (chart).read();

    if (words.size() > (size_t) GridState::maxColumns)
        return { nullptr, "the chart holds " + juce::String ((juce::int64) words.size()) + " chords, more than the "
                              + juce::String (GridState::maxColumns) + " a grid holds" };

    auto grid = std::make_unique<GridState> ((int) words.size(), notesPerChord);

    for (size_t i = 0; i < words.size(); ++i)
    {
        const auto& word = words[i];
        const auto parsed = ChordVocabulary::parse (word.text, grid->column ((int) i), notesPerChord);

        if (parsed.failed())
            return { nullptr, ChordNameParser::quoted (word.text) + " (line " + juce::String (word.line) + ", bar " + juce::String (word.bar)
                                  + ", chord " + juce::String (word.chord) + ") is no chord name: " + parsed.getErrorMessage() };
    }

    return { std::move (grid), {} };
}

size_t ChordChartReader::firstByteNotText (const uint8_t* bytes, size_t size)
{
    for (size_t position = 0; position < size;)
    {
        const auto length = characterLength (bytes + position, size - position);

        if (length == 0)
            return position;

        position += length;
    }

    return size;
}

ChordChartReader::Result ChordChartReader::read (const void* data, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*> (data);
    static constexpr uint8_t byteOrderMark[] = { 0xEF, 0xBB, 0xBF };

    // Editors on some systems start a text file with one.
    if (size >= sizeof (byteOrderMark) && std::equal (byteOrderMark, byteOrderMark + 3, bytes))
    {
        bytes += sizeof (byteOrderMark);
        size -= sizeof (byteOrderMark);
    }

    const auto bad = firstByteNotText (bytes, size);

    if (bad < size)
    {
        const auto before = juce::String::fromUTF8 (reinterpret_cast<const char*> (bytes), (int) bad);
        const int line = before.retainCharacters ("\n").length() + 1;
        const int character = before.length() - before.lastIndexOfChar ('\n');
        return { nullptr, "byte 0x" + juce::String::toHexString ((int) bytes[bad]).paddedLeft ('0', 2).toUpperCase() + " (line "
                              + juce::String (line) + ", character " + juce::String (character)
                              + ") is no text: a chart is UTF-8 text" };
    }

    return read (juce::String::fromUTF8 (reinterpret_cast<const char*> (bytes), (int) size));
}

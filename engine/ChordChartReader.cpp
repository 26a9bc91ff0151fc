#include "engine/ChordChartReader.h"

#include "engine/ChordVocabulary.h"

#include <vector>

namespace
{
struct Word
{
    juce::String text;
    int line, bar, chord;
};

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
            return { nullptr, "'" + word.text + "' (line " + juce::String (word.line) + ", bar " + juce::String (word.bar)
                                  + ", chord " + juce::String (word.chord) + ") is no chord name: " + parsed.getErrorMessage() };
    }

    return { std::move (grid), {} };
}

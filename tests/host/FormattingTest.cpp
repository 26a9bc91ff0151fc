// The display formatting tools: exact text, truncation rather than rounding, the 8-character
// limit, and the cases that leave the caller's text alone.
#include "tests/host/ProbeEffect.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

namespace
{
// A display field as a host lends it, with guard bytes behind the 8 characters and the
// terminator that the tools may use.
class GuardedText
{
public:
    static constexpr size_t kUsable = 9;

    GuardedText() { std::memset (bytes, kGuard, sizeof (bytes)); }

    explicit GuardedText (const char* prefill) : GuardedText()
    {
        std::memcpy (bytes, prefill, std::strlen (prefill) + 1);
    }

    char* data() { return bytes; }

    // The text as written, or a note that the tool ran past its field.
    std::string text() const
    {
        for (size_t i = kUsable; i < sizeof (bytes); ++i)
            if (bytes[i] != kGuard)
                return "<wrote past the 9-byte field>";
        if (std::memchr (bytes, 0, kUsable) == nullptr)
            return "<no terminator within 9 bytes>";
        return bytes;
    }

private:
    static constexpr char kGuard = '#';
    char bytes[32];
};

std::string float2string (float value, const char* prefill = "")
{
    BareEffect effect;
    GuardedText field (prefill);
    effect.float2string (value, field.data());
    return field.text();
}

std::string long2string (VstInt32 value)
{
    BareEffect effect;
    GuardedText field;
    effect.long2string (value, field.data());
    return field.text();
}
} // namespace

TEST (Float2String, DocumentedExamples)
{
    EXPECT_EQ (float2string (0.0f), "0.000000");
    EXPECT_EQ (float2string (123.456f), "123.4560");
    EXPECT_EQ (float2string (-1.5f), "-1.50000");
    EXPECT_EQ (float2string (1234567.0f), "1234567.");
}

TEST (Float2String, FillsEightCharactersWithDecimals)
{
    EXPECT_EQ (float2string (1.0f), "1.000000");
    EXPECT_EQ (float2string (0.25f), "0.250000");
    EXPECT_EQ (float2string (-0.25f), "-0.25000");
    EXPECT_EQ (float2string (10.5f), "10.50000");
    EXPECT_EQ (float2string (123456.75f), "123456.7");
    EXPECT_EQ (float2string (-123456.0f), "-123456.");
}

TEST (Float2String, TruncatesDigitsInsteadOfRounding)
{
    // 0.7f is 0.69999998..., 2.9999998f is the float just below 3.
    EXPECT_EQ (float2string (0.7f), "0.699999");
    EXPECT_EQ (float2string (2.9999998f), "2.999999");
    EXPECT_EQ (float2string (-0.7f), "-0.69999");
    EXPECT_EQ (float2string (99.99999f), "99.99999");
}

TEST (Float2String, ValuesAtTheLimitsShowTheirIntegerDigitsWithoutAPoint)
{
    EXPECT_EQ (float2string (12345678.0f), "12345678");
    EXPECT_EQ (float2string (10000000.0f), "10000000");
    EXPECT_EQ (float2string (99999992.0f), "99999992");
    EXPECT_EQ (float2string (-1234567.0f), "-1234567");
    EXPECT_EQ (float2string (-1000000.0f), "-1000000");
    EXPECT_EQ (float2string (-9999999.0f), "-9999999");
}

TEST (Float2String, TheLargestValuesWithRoomForThePointKeepIt)
{
    EXPECT_EQ (float2string (9999999.0f), "9999999.");
    EXPECT_EQ (float2string (-999999.0f), "-999999.");
}

TEST (Float2String, ValuesBeyondTheLimitsLeaveTheTextAlone)
{
    EXPECT_EQ (float2string (100000000.0f, "kept"), "kept");
    EXPECT_EQ (float2string (99999999.0f, "kept"), "kept"); // rounds to 1e8 as a float
    EXPECT_EQ (float2string (-10000000.0f, "kept"), "kept");
    EXPECT_EQ (float2string (1.0e30f, "kept"), "kept");
    EXPECT_EQ (float2string (std::numeric_limits<float>::infinity(), "kept"), "kept");
    EXPECT_EQ (float2string (-std::numeric_limits<float>::infinity(), "kept"), "kept");
}

TEST (Float2String, NotANumberLeavesTheTextAlone)
{
    EXPECT_EQ (float2string (std::numeric_limits<float>::quiet_NaN(), "kept"), "kept");
}

TEST (Float2String, NegativeZeroIsShownAsZero)
{
    EXPECT_EQ (float2string (-0.0f), "0.000000");
}

TEST (Float2String, NeverWritesBeyondEightCharactersAndTheTerminator)
{
    // Every integer digit count with either sign, and a spread of fractions.
    float magnitude = 0.123456789f;
    for (int step = 0; step < 9; ++step, magnitude *= 10.0f)
    {
        EXPECT_EQ (float2string (magnitude).find ('<'), std::string::npos) << magnitude;
        EXPECT_EQ (float2string (-magnitude).find ('<'), std::string::npos) << -magnitude;
        EXPECT_LE (float2string (magnitude).size(), 8u) << magnitude;
        EXPECT_LE (float2string (-magnitude).size(), 8u) << -magnitude;
    }
}

TEST (DecibelText, NothingOrLessIsMinusInfinity)
{
    BareEffect effect;
    char text[16];

    effect.dB2string (0.0f, text);
    EXPECT_STREQ (text, "-oo");
    effect.dB2string (-2.0f, text);
    EXPECT_STREQ (text, "-oo");
}

TEST (DecibelText, ShowsTwentyTimesTheLogarithm)
{
    BareEffect effect;
    char text[16];

    effect.dB2string (1.0f, text);
    EXPECT_STREQ (text, "0.000000");
    effect.dB2string (10.0f, text);
    EXPECT_STREQ (text, "20.00000");
    effect.dB2string (100.0f, text);
    EXPECT_STREQ (text, "40.00000");
    effect.dB2string (0.01f, text);
    EXPECT_STREQ (text, "-40.0000");
}

TEST (FrequencyText, ZeroSamplesShowZero)
{
    BareEffect effect;
    char text[16];

    effect.Hz2string (0.0f, text);
    EXPECT_STREQ (text, "0.000000");
}

TEST (FrequencyText, DividesTheCurrentSampleRateByTheSamples)
{
    BareEffect effect;
    char text[16];

    effect.Hz2string (441.0f, text);
    EXPECT_STREQ (text, "100.0000");

    effect.setSampleRate (48000.0f);
    effect.Hz2string (480.0f, text);
    EXPECT_STREQ (text, "100.0000");
    effect.Hz2string (4.0f, text);
    EXPECT_STREQ (text, "12000.00");
}

TEST (FrequencyText, AsksTheEffectForItsSampleRate)
{
    ProbeEffect effect;
    effect.floatAnswers["getSampleRate"] = 1000.0f;
    char text[16];

    effect.Hz2string (8.0f, text);
    EXPECT_STREQ (text, "125.0000");
}

TEST (MillisecondText, ConvertsSamplesAtTheCurrentRate)
{
    BareEffect effect;
    char text[16];

    effect.ms2string (441.0f, text);
    EXPECT_STREQ (text, "10.00000");

    effect.setSampleRate (48000.0f);
    effect.ms2string (24.0f, text);
    EXPECT_STREQ (text, "0.500000");
}

TEST (MillisecondText, ZeroSampleRateLeavesTheTextAlone)
{
    BareEffect effect;
    effect.setSampleRate (0.0f);
    char text[16] = "kept";

    effect.ms2string (441.0f, text);
    EXPECT_STREQ (text, "kept");
}

TEST (Long2String, DocumentedExamples)
{
    EXPECT_EQ (long2string (99999999), "99999999");
    EXPECT_EQ (long2string (100000000), "Huge!");
    EXPECT_EQ (long2string (5), "      5");
}

TEST (Long2String, PadsToSevenCharacters)
{
    EXPECT_EQ (long2string (0), "      0");
    EXPECT_EQ (long2string (-5), "     -5");
    EXPECT_EQ (long2string (1234567), "1234567");
    EXPECT_EQ (long2string (12345678), "12345678");
    EXPECT_EQ (long2string (-123456), "-123456");
}

TEST (Long2String, EverythingAtOrAboveAHundredMillionIsHuge)
{
    EXPECT_EQ (long2string (100000001), "Huge!");
    EXPECT_EQ (long2string (std::numeric_limits<VstInt32>::max()), "Huge!");
}

TEST (Long2String, WideNegativeValuesAreCutAtEightCharacters)
{
    EXPECT_EQ (long2string (-1234567), "-1234567");
    EXPECT_EQ (long2string (-12345678), "-1234567");
    EXPECT_EQ (long2string (-99999999), "-9999999");
    EXPECT_EQ (long2string (std::numeric_limits<VstInt32>::min()), "-2147483");
}

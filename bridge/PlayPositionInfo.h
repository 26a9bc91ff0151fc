#pragma once

#include <cstdint>

// The host's transport position as a filter sees it.
struct PlayPositionInfo
{
    double bpm = 0.0;
    int32_t timeSigNumerator = 4;
    int32_t timeSigDenominator = 4;
    double timeInSeconds = 0.0;
    double smpteOffsetSeconds = 0.0;
    double ppqPosition = 0.0;
    double ppqPositionOfLastBarStart = 0.0;
    int32_t frameRateCode = 99;  // 99: the host gave no frame rate
    bool transportPlaying = false;
    bool transportRecording = false;
};

#include "CGoGoConfig.h"
#include <algorithm>
#include <windows.h>

// Callers on 32-bit Windows pass the input record as five 32-bit fields.
static_assert(sizeof(void*) != 4 || sizeof(GOGO_INPUT) == 20, "GOGO_INPUT layout");

namespace {
const int kMp3Rates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};

bool Within(uintptr_t value, int lowest, int highest) {
    return value >= static_cast<uintptr_t>(lowest) && value <= static_cast<uintptr_t>(highest);
}
} // namespace

CGoGoConfig::CGoGoConfig() {
    values[GOGO_ITEM_CHANNEL_MODE] = {GOGO_MODE_STEREO, 0};
    values[GOGO_ITEM_BITRATE] = {128, 0};
    values[GOGO_ITEM_RIFF_WAVE] = {0, 0};
}

int CGoGoConfig::Set(int item, uintptr_t value1, uintptr_t value2) {
    int result = GOGO_ERR_ITEM;
    if (item == GOGO_ITEM_INPUT)
        result = SetInput(value1, value2);
    else if (item == GOGO_ITEM_OUTPUT)
        result = SetOutput(value1, value2);
    else
        result = SetChoice(item, value1, value2);
    if (result == GOGO_ERR_ITEM)
        return result;
    if (result == GOGO_OK)
        values[item] = {value1, value2};
    else if (refused == GOGO_OK)
        refused = result;
    return result;
}

int CGoGoConfig::SetInput(uintptr_t value1, uintptr_t value2) {
    auto* record = reinterpret_cast<const GOGO_INPUT*>(value2);
    if (value1 != GOGO_INPUT_BY_FUNCTION || !record || !record->read)
        return GOGO_ERR_VALUE;
    input = *record; // the caller's record need not outlive this call
    return GOGO_OK;
}

int CGoGoConfig::SetOutput(uintptr_t value1, uintptr_t value2) {
    if (value1 != GOGO_OUTPUT_BY_FUNCTION || value2 == 0)
        return GOGO_ERR_VALUE;
    output = reinterpret_cast<GOGO_OUTPUT_FUNC>(value2);
    return GOGO_OK;
}

int CGoGoConfig::SetChoice(int item, uintptr_t value1, uintptr_t value2) {
    switch (item) {
    case GOGO_ITEM_CHANNEL_MODE:
        if (!Within(value1, GOGO_MODE_MONO, GOGO_MODE_DUAL_CHANNEL))
            return GOGO_ERR_VALUE;
        mode = static_cast<int>(value1);
        return GOGO_OK;
    case GOGO_ITEM_BITRATE:
        if (!Within(value1, 1, 640))
            return GOGO_ERR_VALUE;
        bitrate = static_cast<int>(value1);
        return GOGO_OK;
    case GOGO_ITEM_VBR_QUALITY:
        if (!Within(value1, 0, 9))
            return GOGO_ERR_VALUE;
        vbr = true;
        vbrQuality = static_cast<int>(value1);
        return GOGO_OK;
    case GOGO_ITEM_RIFF_WAVE:
        if (!Within(value1, 0, 1))
            return GOGO_ERR_VALUE;
        riffWave = value1 == 1;
        return GOGO_OK;
    case GOGO_ITEM_THREADS:
        if (!Within(value1, 0, 64) || !Within(value2, 0, 1))
            return GOGO_ERR_VALUE;
        threads = static_cast<int>(value1);
        splitAlways = value2 == 1;
        return GOGO_OK;
    case GOGO_ITEM_COUNTED_INPUT:
        if (value1 == 0)
            return GOGO_ERR_VALUE;
        countedRead = reinterpret_cast<GOGO_COUNTED_INPUT_FUNC>(value1);
        return GOGO_OK;
    case GOGO_ITEM_VBR_LIMITS:
        return Within(value1, 1, 640) && Within(value2, 1, 640) ? GOGO_OK : GOGO_ERR_VALUE;
    default:
        return GOGO_ERR_ITEM;
    }
}

int CGoGoConfig::Get(int item, uintptr_t* value1, uintptr_t* value2) const {
    auto found = values.find(item);
    if (found == values.end())
        return GOGO_ERR_ITEM;
    if (value1)
        *value1 = found->second.first;
    if (value2)
        *value2 = found->second.second;
    return GOGO_OK;
}

int CGoGoConfig::Check() const {
    if (refused != GOGO_OK)
        return refused;
    if (!input.read)
        return GOGO_ERR_NO_INPUT;
    if (!output)
        return GOGO_ERR_NO_OUTPUT;
    if (int result = CheckInput())
        return result;
    if (!vbr && (bitrate < LowestBitrate() || bitrate > HighestBitrate()))
        return GOGO_ERR_BITRATE;
    return GOGO_OK;
}

int CGoGoConfig::CheckInput() const {
    bool bitsOk = input.bitsPerSample == 8 || input.bitsPerSample == 16 ||
                  input.bitsPerSample == 24 || input.bitsPerSample == 32;
    bool channelsOk = input.channels == 1 || input.channels == 2;
    bool rateOk = input.samplesPerSecond >= 1000 && input.samplesPerSecond <= 384000;
    return bitsOk && channelsOk && rateOk ? GOGO_OK : GOGO_ERR_INPUT_FORMAT;
}

int CGoGoConfig::OutputRate() const {
    for (int rate : kMp3Rates)
        if (static_cast<uint32_t>(rate) >= input.samplesPerSecond)
            return rate;
    return 48000;
}

int CGoGoConfig::LowestBitrate() const { return OutputRate() >= 32000 ? 32 : 8; }

int CGoGoConfig::HighestBitrate() const {
    int rate = OutputRate();
    return rate >= 32000 ? 320 : rate >= 16000 ? 160 : 64;
}



bool CGoGoConfig::Split() const {
    return (threads != 1 || splitAlways) &&
           OutputRate() == static_cast<int>(input.samplesPerSecond);
}

int CGoGoConfig::Workers() const {
    if (threads != 0)
        return threads;
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    return static_cast<int>(system.dwNumberOfProcessors);
}

#include "OutputNaming.h"
#include "PathSplit.h"
#include <windows.h>

std::wstring OutputExtension(int type) {
    switch (type) {
    case OutputWavAcm:
    case OutputLayer3Wav:
        return L".wav";
    case OutputMp3:
        return L".mp3";
    case OutputWma:
        return L".wma";
    default:
        return std::wstring();
    }
}

std::wstring DecideOutputPath(int type, const std::wstring& input, const std::wstring& output) {
    std::wstring decided = output.empty() ? input : output;
    std::wstring extension = OutputExtension(type);
    if (extension.empty())
        return decided;
    decided = PathStem(decided) + extension;
    if (CompareStringOrdinal(decided.c_str(), -1, input.c_str(), -1, TRUE) == CSTR_EQUAL)
        decided = PathStem(input) + L"_conv" + extension;
    return decided;
}

std::wstring DroppedOutputPath(int type, const std::wstring& input, const std::wstring& output) {
    std::wstring extension = OutputExtension(type);
    return extension.empty() ? output : PathStem(input) + extension;
}

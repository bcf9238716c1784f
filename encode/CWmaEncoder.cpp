#include "CWmaEncoder.h"
#include "resources/ErrorNumbers.h"

bool CWmaEncoder::TakeTags(const CTagRecord& record) {
    wma.SetTags(record);
    return true;
}

int CWmaEncoder::Open(const WAVEFORMATEX& format, const std::wstring& path) {
    return wma.Open(path.c_str(), nullptr, 0, format.nSamplesPerSec, format.nChannels,
                    format.wBitsPerSample);
}

int CWmaEncoder::Write(unsigned char* bytes, int count) { return wma.WriteAudio(bytes, count); }

// Ending the analysis pass clears the writer's two-pass flag.
bool CWmaEncoder::EndPass(int& result) {
    result = 0;
    if (!wma.GetTwoPass())
        return false;
    result = wma.EndPass();
    return true;
}

// A writer that cannot end (a full disk) still holds the output file open:
// it is let go, so the conversion can remove the file.
int CWmaEncoder::Finish() {
    if (wma.Close() == 0)
        return 0;
    wma.Abandon();
    return kWmaFinishFailed;
}

int CWmaEncoder::LoadProfile(CEncWMVWMA& wma, const CWmaOptions& options) {
    if (options.select != 2)
        return wma.LoadSystemProfile(options.select, options.profile4, options.profile7, 1);
    wma.SetTwoPass(options.twoPass);
    return wma.LoadProfileFile(options.profileFile.c_str());
}

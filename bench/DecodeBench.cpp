// Decodes each file named on the command line with the conversion's decoder
// and prints how many seconds of audio it delivers per second of wall time.
#include "decode/CDecDShowAudioFast.h"
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        CDecDShowAudioFast decoder;
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        if (decoder.Open(argv[i]) != 0) {
            std::fwprintf(stderr, L"%ls: cannot open\n", argv[i]);
            return 1;
        }
        const WAVEFORMATEX* format = decoder.GetFormat();
        double bytes = 0;
        unsigned char* block = nullptr;
        for (int count; (count = decoder.Read(&block, 2048)) > 0;)
            bytes += count;
        decoder.Close();
        QueryPerformanceCounter(&end);
        double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
        double audio = bytes / format->nAvgBytesPerSec;
        std::wprintf(L"%-40ls %7.1f s of audio in %6.2f s: %6.1fx real time\n", argv[i], audio,
                     seconds, audio / seconds);
    }
    return 0;
}

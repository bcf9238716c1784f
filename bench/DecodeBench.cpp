// Decodes each file named on the command line through ZEP's decoder
// interface, blocks and their conversion included, with the decoder the
// first argument names ("builtin" or "system"), and prints how many seconds
// of audio it delivers per second of wall time.
#include "decode/CDecAnyAudio.h"
#include "decode/CDecBuiltinAudio.h"
#include "framework/CComInitialiser.h"
#include <cwchar>
#include <memory>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fwprintf(stderr, L"usage: decode_bench builtin|system FILE...\n");
        return 2;
    }
    CComInitialiser com;
    const bool builtin = std::wcscmp(argv[1], L"builtin") == 0;
    for (int i = 2; i < argc; ++i) {
        std::unique_ptr<CDecAudio> decoder;
        if (builtin)
            decoder = std::make_unique<CDecBuiltinAudio>();
        else
            decoder = std::make_unique<CDecAnyAudio>(DecoderChoice::SystemOnly);
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        if (decoder->Open(argv[i]) != 0) {
            std::fwprintf(stderr, L"%ls: cannot open\n", argv[i]);
            return 1;
        }
        const WAVEFORMATEX* format = decoder->GetFormat();
        double bytes = 0;
        unsigned char* block = nullptr;
        for (int count; (count = decoder->Read(&block, 2048)) > 0;)
            bytes += count;
        decoder->Close();
        QueryPerformanceCounter(&end);
        double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
        double audio = bytes / format->nAvgBytesPerSec;
        std::wprintf(L"%-8ls %-40ls %7.1f s of audio in %6.2f s: %6.1fx real time\n", argv[1],
                     argv[i], audio, seconds, audio / seconds);
    }
    return 0;
}

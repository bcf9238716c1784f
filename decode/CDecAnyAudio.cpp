#include "CDecAnyAudio.h"
#include "CDecBuiltinAudio.h"
#include "CDecDShowAudioFast.h"

int CDecAnyAudio::Open(const wchar_t* path) {
    Close();
    if (choice == DecoderChoice::BuiltinFirst) {
        auto builtin = std::make_unique<CDecBuiltinAudio>();
        if (builtin->Open(path) == 0) {
            opened = std::move(builtin);
            return 0;
        }
    }
    auto system = std::make_unique<CDecDShowAudioFast>();
    const int result = system->Open(path);
    if (result == 0)
        opened = std::move(system);
    return result;
}

int CDecAnyAudio::Read(unsigned char** data, int maximum) {
    return opened ? opened->Read(data, maximum) : -1;
}

void CDecAnyAudio::Close() {
    if (opened)
        opened->Close();
    opened.reset();
}

WAVEFORMATEX* CDecAnyAudio::GetFormat() { return opened ? opened->GetFormat() : &none; }

int CDecAnyAudio::GetProgress() { return opened ? opened->GetProgress() : 0; }

int CDecAnyAudio::GetEndError() { return opened ? opened->GetEndError() : 0; }

std::wstring CDecAnyAudio::Describe() const { return opened ? opened->Describe() : L""; }

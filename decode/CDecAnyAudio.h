#pragma once
#include "CDecAudio.h"
#include <memory>

// Which decoders a conversion may open a file with.
enum class DecoderChoice {
    BuiltinFirst = 0, // the built-in decoder, else the system's filters
    SystemOnly = 1,   // the system's DirectShow filters alone, as ZEP always did
};

// The choice a saved value (DATA's Decoder) stands for: 1 the system's
// filters only; anything else the built-in decoder first.
inline DecoderChoice DecoderChoiceOf(int saved) {
    return saved == 1 ? DecoderChoice::SystemOnly : DecoderChoice::BuiltinFirst;
}

// The decoder every conversion opens: the one place that chooses. The
// built-in decoder takes every file whose audio it decodes; the system's
// filters take the rest (another container, a codec left out of the build
// or protected), with whatever the user has installed. A file neither
// opens is kUndecodable.
class CDecAnyAudio : public CDecAudio {
  public:
    explicit CDecAnyAudio(DecoderChoice choice) : choice(choice) {}

    int Open(const wchar_t* path) override;
    int Read(unsigned char** data, int maximum) override;
    void Close() override;
    WAVEFORMATEX* GetFormat() override;
    int GetProgress() override;
    int GetEndError() override;
    std::wstring Describe() const override;

  private:
    const DecoderChoice choice;
    std::unique_ptr<CDecAudio> opened;
    WAVEFORMATEX none = {};
};

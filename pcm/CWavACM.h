#pragma once
#include "framework/CMemBuffBase.h"
#include "pcm/CAcmStream.h"
#include <optional>

#include <mmreg.h>

// Where converted bytes go (writing) and where file bytes come from
// (reading). Each returns the number of bytes handled, or -1 to stop.
using AcmSinkCallback = int (*)(const void* bytes, int count, void* owner);
using AcmSourceCallback = int (*)(void* bytes, int count, void* owner);

// Conversion state between the PCM a caller has and the format a WAVE file
// holds: the two formats, an optional intermediate PCM when the codec wants
// another PCM than the source, up to two ACM streams and their buffers.
// Writing converts in block-aligned portions of about 12 kB of output.
class CWavACM {
  public:
    CWavACM();
    virtual ~CWavACM() { Reset(); }
    CWavACM(const CWavACM&) = delete;
    CWavACM& operator=(const CWavACM&) = delete;

    void SetSourceFormat(const WAVEFORMATEX* format);
    // Keeps the whole record, however long: the block is at least 256 bytes
    // and never shorter than the record. Returns 0 when it cannot be held.
    int SetDestFormat(const WAVEFORMATEX* format);
    int ChooseFormat(HWND owner);
    const WAVEFORMATEX* GetDestFormat() const;
    const WAVEFORMATEX& GetSourceFormat() const { return sourceRecord.Format; }

    // Writing: formats first, then (after the file header) the streams.
    int PrepareWrite();
    DWORD GetFormatChunkSize() const;
    const WAVEFORMATEX* GetTarget() const;
    int OpenWriteStreams();
    int Convert(const BYTE* bytes, DWORD count, AcmSinkCallback sink, void* owner);
    int Flush(AcmSinkCallback sink, void* owner);
    DWORD GetFrameCount() const;

    // Reading: the file's format must have been given with SetDestFormat.
    int PrepareRead();
    void BeginReading(DWORD dataSize);
    int Decode(BYTE* buffer, DWORD count, AcmSourceCallback fetch, void* owner);

    void Reset();

    bool HasIntermediate() const { return intermediate.has_value(); }
    bool HasStream() const { return mainStream.IsOpen(); }
    MMRESULT GetLastStreamResult() const { return mainStream.GetLastResult(); }
    DWORD GetOutputCapacity() const { return outputCapacity; }
    DWORD GetStagingCapacity() const { return stagingCapacity; }
    DWORD GetFileBytes() const { return fileBytes; }
    // Whole target blocks in a 12,288-byte output portion.
    static DWORD OutputCapacityFor(DWORD blockAlign);

  private:
    WAVEFORMATEX* Target();
    WAVEFORMATEX ChooserSeed() const;
    bool SuggestPcm(const WAVEFORMATEX* from, WAVEFORMATEX& pcm) const;
    WAVEFORMATEX& Source() { return sourceRecord.Format; }
    const WAVEFORMATEX& Source() const { return sourceRecord.Format; }
    const WAVEFORMATEX& MainSource() const { return intermediate ? *intermediate : Source(); }
    int ConvertOneStage(const BYTE* bytes, DWORD count, AcmSinkCallback sink, void* owner);
    int ConvertTwoStages(const BYTE* bytes, DWORD count, AcmSinkCallback sink, void* owner);
    static DWORD ResamplingPeriod(const WAVEFORMATEX& from, const WAVEFORMATEX& to);
    int PrepareFirstStagePeriods();
    bool ConvertFirstStage(const BYTE* bytes, DWORD length, AcmSinkCallback sink, void* owner);
    bool FlushFirstStage();
    bool ConvertStaged(DWORD length, DWORD flags);
    bool Deliver(AcmSinkCallback sink, void* owner);
    bool PadLastBlock(AcmSinkCallback sink, void* owner);
    bool Refill(AcmSourceCallback fetch, void* owner);
    int DecodeStraight(BYTE* buffer, DWORD count, AcmSourceCallback fetch, void* owner);

    // The PCM the caller delivers; its whole record, for samples that go
    // into the file as they are.
    WAVEFORMATEXTENSIBLE sourceRecord{};
    CMemBuffBase<unsigned char> target;
    std::optional<WAVEFORMATEX> intermediate;
    CAcmStream mainStream;
    CAcmStream firstStage;
    CMemBuffBase<unsigned char> staging;
    DWORD stagingCapacity = 0;
    DWORD staged = 0;
    CMemBuffBase<unsigned char> output;
    DWORD outputCapacity = 0;
    // Two stages: source bytes of a resampling period not yet complete.
    CMemBuffBase<unsigned char> carry;
    DWORD carried = 0;
    DWORD periodBytes = 0;  // source bytes of one period
    DWORD periodOutput = 0; // intermediate bytes it makes, at most
    DWORD produced = 0;
    DWORD fileBytes = 0;
    DWORD fileLimit = 0xFFFFFFFF;
    // Reading: decoded bytes already handed out, and whether the last refill
    // filled the staging buffer (a short one means the data has ended).
    DWORD handedOut = 0;
    bool lastRefillFull = true;
};

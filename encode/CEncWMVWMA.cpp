#include "CEncWMVWMA.h"
#include "resources/ErrorNumbers.h"

#include <cstring>
#include <nserror.h>
#include <uuids.h>

static_assert(sizeof(WAVEFORMATEX) == 18, "the writer takes the 18-byte wave format record");

int CEncWMVWMA::EndPass() {
    if (GetTwoPass() && audioProps) {
        if (!preprocessor || FAILED(preprocessor->EndPreprocessingPass(audioInput, 0)))
            return kWmaPassNotEnded;
        byteTotal = 0;
    }
    SetTwoPass(0);
    return 0;
}

int CEncWMVWMA::BeginPass() {
    if (!GetTwoPass() || !audioProps)
        return 0;
    if (!preprocessor)
        return kWmaPassNotBegun;
    DWORD passes = 0;
    HRESULT hr = preprocessor->GetMaxPreprocessingPasses(audioInput, 0, &passes);
    if (SUCCEEDED(hr))
        hr = preprocessor->SetNumPreprocessingPasses(audioInput, 0, passes);
    if (SUCCEEDED(hr))
        hr = preprocessor->BeginPreprocessingPass(audioInput, 0);
    return FAILED(hr) ? kWmaPassNotBegun : 0;
}

HRESULT CEncWMVWMA::SetAudioInput(int samplesPerSec, int channels, int bitsPerSample) {
    byteTotal = 0;
    inputFormat = {};
    inputFormat.wFormatTag = WAVE_FORMAT_PCM;
    inputFormat.nChannels = static_cast<WORD>(channels);
    inputFormat.nSamplesPerSec = static_cast<DWORD>(samplesPerSec);
    inputFormat.wBitsPerSample = static_cast<WORD>(bitsPerSample);
    inputFormat.nBlockAlign = static_cast<WORD>(channels * bitsPerSample / 8);
    inputFormat.nAvgBytesPerSec = inputFormat.nBlockAlign * inputFormat.nSamplesPerSec;
    // A profile without an audio stream would take every block and write none.
    if (!audioProps)
        return E_FAIL;
    WM_MEDIA_TYPE type = {};
    type.majortype = WMMEDIATYPE_Audio;
    type.subtype = WMMEDIASUBTYPE_PCM;
    type.bFixedSizeSamples = TRUE;
    type.bTemporalCompression = FALSE;
    // The writer is given the rate here, as it always has been, not the block size.
    type.lSampleSize = static_cast<ULONG>(samplesPerSec);
    type.formattype = FORMAT_WaveFormatEx;
    type.cbFormat = sizeof(WAVEFORMATEX) + inputFormat.cbSize;
    type.pbFormat = reinterpret_cast<BYTE*>(&inputFormat);
    HRESULT hr = audioProps->SetMediaType(&type);
    if (SUCCEEDED(hr))
        hr = writer->SetInputProps(audioInput, audioProps.Get());
    return hr;
}

int CEncWMVWMA::WriteAudio(const BYTE* bytes, int count) {
    if (count <= 0 || !audioProps)
        return 0;
    const LONGLONG bytesPerSecond = static_cast<LONGLONG>(inputFormat.wBitsPerSample / 8) *
                                    inputFormat.nChannels * inputFormat.nSamplesPerSec;
    // Without a rate no block can be given a time.
    if (bytesPerSecond <= 0 || !writer)
        return kWmaSampleRefused;
    CComPtr<INSSBuffer> sample;
    HRESULT hr = FillSample(bytes, static_cast<DWORD>(count), sample);
    if (SUCCEEDED(hr)) {
        hr = PassSample(static_cast<QWORD>(byteTotal * 10000000 / bytesPerSecond), sample.Get());
        byteTotal += count;
    }
    if (hr == NS_E_INVALID_NUM_PASSES)
        return kWmaNeedsTwoPasses;
    return FAILED(hr) ? kWmaSampleRefused : 0;
}

// The block goes into a writer sample whole: a buffer shorter than the block
// would lose its tail, and only the block's own bytes are copied.
HRESULT CEncWMVWMA::FillSample(const BYTE* bytes, DWORD count, CComPtr<INSSBuffer>& sample) {
    HRESULT hr = writer->AllocateSample(count, sample.Receive());
    if (SUCCEEDED(hr) && !sample)
        hr = E_POINTER;
    BYTE* buffer = nullptr;
    DWORD length = 0;
    if (SUCCEEDED(hr))
        hr = sample->GetBufferAndLength(&buffer, &length);
    if (FAILED(hr))
        return hr;
    if (!buffer || length < count)
        return E_OUTOFMEMORY;
    std::memcpy(buffer, bytes, count);
    return sample->SetLength(count);
}

HRESULT CEncWMVWMA::PassSample(QWORD time, INSSBuffer* sample) {
    if (!GetTwoPass())
        return writer->WriteSample(audioInput, time, 0, sample);
    if (!preprocessor)
        return E_POINTER;
    return preprocessor->PreprocessSample(audioInput, time, 0, sample);
}

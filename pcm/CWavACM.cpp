#include "pcm/CWavACM.h"
#include "pcm/AcmFormats.h"
#include <ks.h>
#include <ksmedia.h>
#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr DWORD WritePortion = 12288;
constexpr DWORD ReadPortion = 49152;
constexpr DWORD ReadOutputGranule = 4096;
constexpr DWORD FormatBlockSize = 256;
constexpr DWORD RecordHeaderSize = sizeof(WAVEFORMATEX);
constexpr DWORD PcmChunkSize = 16;
constexpr DWORD LargestBuffer = 0x7FFFFFFF;
static_assert(RecordHeaderSize == 18, "a wave format record has an 18-byte header");

DWORD RecordSize(const WAVEFORMATEX& format) { return RecordHeaderSize + format.cbSize; }

bool IsPcm(const WAVEFORMATEX& format) { return format.wFormatTag == WAVE_FORMAT_PCM; }

// Samples the ACM does not convert: floats, or a record with a channel
// mask and valid bits. They go into the file as they are, or not at all.
bool IsWide(const WAVEFORMATEX& format) {
    return (format.wFormatTag == WAVE_FORMAT_EXTENSIBLE && format.cbSize >= 22) ||
           format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT;
}

bool SameRecord(const WAVEFORMATEX& a, const WAVEFORMATEX& b) {
    return std::memcmp(&a, &b, RecordHeaderSize) == 0;
}

BYTE SilenceOf(const WAVEFORMATEX& pcm) { return pcm.wBitsPerSample == 8 ? 0x80 : 0; }

bool Allocate(CMemBuffBase<unsigned char>& buffer, DWORD size) {
    return size > 0 && size <= LargestBuffer && buffer.Resize(static_cast<int>(size));
}

DWORD RoundUp(DWORD value, DWORD granule) { return (value + granule - 1) / granule * granule; }

} // namespace

CWavACM::CWavACM() { Reset(); }

void CWavACM::SetSourceFormat(const WAVEFORMATEX* format) {
    sourceRecord = WAVEFORMATEXTENSIBLE{};
    if (format)
        std::memcpy(&sourceRecord, format,
                    std::min<DWORD>(RecordSize(*format), sizeof sourceRecord));
    if (!IsWide(Source()))
        Source().cbSize = 0;
}

int CWavACM::SetDestFormat(const WAVEFORMATEX* format) {
    target.Free();
    if (!format)
        return 1;
    const DWORD size = RecordSize(*format);
    if (!Allocate(target, std::max(FormatBlockSize, size)))
        return 0;
    target.FillAll(0);
    std::memcpy(target.data, format, size);
    return 1;
}

int CWavACM::ChooseFormat(HWND owner) {
    DWORD size = 0;
    if (acmMetrics(nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &size) != MMSYSERR_NOERROR || size == 0)
        size = FormatBlockSize;
    size = std::max(size, RecordHeaderSize);
    if (!target.data) {
        if (!Allocate(target, size))
            return 0;
        target.FillAll(0);
        const WAVEFORMATEX seed = ChooserSeed();
        std::memcpy(target.data, &seed, RecordHeaderSize);
    } else if (static_cast<DWORD>(target.GetCount()) < size) {
        // The chooser may write a record as long as the largest format.
        const int held = target.GetCount();
        if (!target.Reserve(static_cast<int>(size)))
            return 0;
        std::memset(target.data + held, 0, size - held);
    }
    if (Target()->wFormatTag == 0) {
        const WAVEFORMATEX seed = ChooserSeed();
        std::memcpy(target.data, &seed, RecordHeaderSize);
    }

    ACMFORMATCHOOSEW request{};
    request.cbStruct = sizeof request;
    request.hwndOwner = owner;
    request.pwfx = Target();
    request.cbwfx = static_cast<DWORD>(target.GetCount());
    if (Target()->wFormatTag != 0)
        request.fdwStyle = ACMFORMATCHOOSE_STYLEF_INITTOWFXSTRUCT;
    if (acmFormatChooseW(&request) != MMSYSERR_NOERROR)
        return 0;

    WAVEFORMATEX* chosen = Target();
    if (IsPcm(*chosen))
        chosen->cbSize = 0;
    if (chosen->wFormatTag == 0 || RecordSize(*chosen) > static_cast<DWORD>(target.GetCount())) {
        target.Free();
        return 0;
    }
    return 1;
}

// The chooser opens on a format it lists: the source's own samples as plain
// PCM where the system's PCM converter lists them, else the 16 bits and at
// most two channels every codec is given.
WAVEFORMATEX CWavACM::ChooserSeed() const {
    if (!IsWide(Source()))
        return Source();
    const WAVEFORMATEX& wide = Source();
    const bool floating = wide.wFormatTag == WAVE_FORMAT_IEEE_FLOAT ||
                          (wide.wFormatTag == WAVE_FORMAT_EXTENSIBLE &&
                           IsEqualGUID(sourceRecord.SubFormat, KSDATAFORMAT_SUBTYPE_IEEE_FLOAT));
    const std::vector<AcmFormat> formats = floating ? std::vector<AcmFormat>() : ListAcmFormats();
    if (const AcmFormat* listed = FindAcmFormat(formats, L"PCM", wide.nSamplesPerSec,
                                                wide.nChannels, wide.wBitsPerSample))
        return listed->Format();
    WAVEFORMATEX pcm{WAVE_FORMAT_PCM, static_cast<WORD>(std::min<WORD>(wide.nChannels, 2)),
                     wide.nSamplesPerSec, 0, 0, 16, 0};
    pcm.nBlockAlign = static_cast<WORD>(pcm.nChannels * 2);
    pcm.nAvgBytesPerSec = pcm.nSamplesPerSec * pcm.nBlockAlign;
    return pcm;
}

const WAVEFORMATEX* CWavACM::GetDestFormat() const {
    const WAVEFORMATEX* held = GetTarget();
    return held ? held : &Source();
}

const WAVEFORMATEX* CWavACM::GetTarget() const {
    return reinterpret_cast<const WAVEFORMATEX*>(target.data);
}

WAVEFORMATEX* CWavACM::Target() { return reinterpret_cast<WAVEFORMATEX*>(target.data); }

bool CWavACM::SuggestPcm(const WAVEFORMATEX* from, WAVEFORMATEX& pcm) const {
    pcm = WAVEFORMATEX{};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    const MMRESULT result = acmFormatSuggest(nullptr, const_cast<WAVEFORMATEX*>(from), &pcm,
                                             sizeof pcm, ACM_FORMATSUGGESTF_WFORMATTAG);
    pcm.cbSize = 0;
    return result == MMSYSERR_NOERROR && IsPcm(pcm);
}

// Decides between a plain PCM file, one stream, and two stages through the
// PCM the codec asks for. Only PCM comes in: the bytes of any other source
// would end up in the file under a format that does not describe them.
int CWavACM::PrepareWrite() {
    fileBytes = 0;
    const WAVEFORMATEX* wanted = GetTarget();
    if (IsWide(Source()) && Source().nBlockAlign != 0 && !wanted)
        return 1;
    if (!IsPcm(Source()) || Source().nBlockAlign == 0)
        return 0;
    if (!wanted)
        return 1;
    if (wanted->nBlockAlign == 0)
        return 0;
    if (IsPcm(*wanted)) {
        if (SameRecord(*wanted, Source()))
            target.Free();
        return 1;
    }
    WAVEFORMATEX codecPcm;
    if (!SuggestPcm(wanted, codecPcm))
        return 0;
    if (SameRecord(codecPcm, Source()))
        intermediate.reset();
    else
        intermediate = codecPcm;
    return 1;
}

DWORD CWavACM::GetFormatChunkSize() const {
    const WAVEFORMATEX* wanted = GetTarget();
    if (!wanted && IsWide(Source()))
        return RecordSize(Source());
    return wanted && !IsPcm(*wanted) ? RecordSize(*wanted) : PcmChunkSize;
}

DWORD CWavACM::OutputCapacityFor(DWORD blockAlign) {
    return blockAlign == 0 ? 0 : WritePortion - WritePortion % blockAlign;
}

int CWavACM::OpenWriteStreams() {
    const WAVEFORMATEX* wanted = GetTarget();
    if (!wanted)
        return 1;
    outputCapacity = OutputCapacityFor(wanted->nBlockAlign);
    if (!Allocate(output, outputCapacity))
        return 0;
    if (intermediate && !firstStage.Open(&Source(), &*intermediate))
        return 0;
    if (!mainStream.Open(&MainSource(), wanted))
        return 0;
    stagingCapacity = mainStream.SourceSizeFor(outputCapacity);
    const DWORD mainPeriod = ResamplingPeriod(MainSource(), *wanted) * MainSource().nBlockAlign;
    if (stagingCapacity >= 2 * mainPeriod)
        stagingCapacity -= stagingCapacity % mainPeriod;
    if (!Allocate(staging, stagingCapacity))
        return 0;
    staged = 0;
    return intermediate ? PrepareFirstStagePeriods() : 1;
}

// Wine's PCM converter starts its rate conversion afresh at every call, so a
// call that ends inside a resampling period loses the fraction of a frame it
// did not produce and shifts the rest. Calls that take whole periods (the
// source rate over the greatest common divisor of the two rates, in frames)
// join without a seam.
DWORD CWavACM::ResamplingPeriod(const WAVEFORMATEX& from, const WAVEFORMATEX& to) {
    DWORD a = from.nSamplesPerSec, b = to.nSamplesPerSec;
    if (a == b || a == 0 || b == 0)
        return 1;
    while (b != 0) {
        const DWORD rest = a % b;
        a = b;
        b = rest;
    }
    return from.nSamplesPerSec / a;
}

int CWavACM::PrepareFirstStagePeriods() {
    DWORD frames = ResamplingPeriod(Source(), *intermediate);
    auto outputFrames = [this](DWORD sourceFrames) {
        const uint64_t scaled = static_cast<uint64_t>(sourceFrames) * intermediate->nSamplesPerSec;
        return static_cast<DWORD>((scaled + Source().nSamplesPerSec - 1) / Source().nSamplesPerSec);
    };
    // A period too long for the staging buffer falls back to single frames.
    if (2ull * outputFrames(frames) * intermediate->nBlockAlign > stagingCapacity)
        frames = 1;
    periodBytes = frames * Source().nBlockAlign;
    periodOutput = outputFrames(frames) * intermediate->nBlockAlign;
    carried = 0;
    return Allocate(carry, periodBytes) ? 1 : 0;
}

int CWavACM::Convert(const BYTE* bytes, DWORD count, AcmSinkCallback sink, void* owner) {
    if (count == 0)
        return 0;
    if (!mainStream.IsOpen()) {
        const int handled = sink(bytes, static_cast<int>(count), owner);
        if (handled < 0)
            return -1;
        fileBytes += static_cast<DWORD>(handled);
        return handled;
    }
    if (firstStage.IsOpen())
        return ConvertTwoStages(bytes, count, sink, owner);
    return ConvertOneStage(bytes, count, sink, owner);
}

int CWavACM::ConvertOneStage(const BYTE* bytes, DWORD count, AcmSinkCallback sink, void* owner) {
    DWORD remaining = count;
    while (remaining > 0) {
        const DWORD room = stagingCapacity - staged;
        if (remaining < room) {
            std::memcpy(staging.data + staged, bytes, remaining);
            staged += remaining;
            break;
        }
        if (staged > 0) {
            std::memcpy(staging.data + staged, bytes, room);
            bytes += room;
            remaining -= room;
            if (!ConvertStaged(stagingCapacity, ACM_STREAMCONVERTF_BLOCKALIGN))
                return -1;
        } else {
            // Nothing staged: convert straight from the caller's bytes.
            CAcmStream::Result result;
            if (!mainStream.Convert(bytes, stagingCapacity, output.data, outputCapacity,
                                    ACM_STREAMCONVERTF_BLOCKALIGN, result) ||
                result.used == 0)
                return -1;
            bytes += result.used;
            remaining -= result.used;
            produced = result.produced;
        }
        if (!Deliver(sink, owner))
            return -1;
    }
    return static_cast<int>(count);
}

// The first stage turns the caller's PCM into the codec's PCM right inside the
// staging buffer, in whole resampling periods; a last part of a period waits
// for the next call (or the flush). The main stream converts the staging
// buffer whenever another period would not fit.
int CWavACM::ConvertTwoStages(const BYTE* bytes, DWORD count, AcmSinkCallback sink, void* owner) {
    DWORD remaining = count;
    while (remaining > 0) {
        if (carried > 0 || remaining < periodBytes) {
            const DWORD n = std::min(periodBytes - carried, remaining);
            std::memcpy(carry.data + carried, bytes, n);
            carried += n;
            bytes += n;
            remaining -= n;
            if (carried < periodBytes)
                break;
            carried = 0;
            if (!ConvertFirstStage(carry.data, periodBytes, sink, owner))
                return -1;
            continue;
        }
        const DWORD room = (stagingCapacity - staged) / periodOutput;
        const DWORD length =
            std::min(remaining / periodBytes, std::max<DWORD>(room, 1)) * periodBytes;
        if (!ConvertFirstStage(bytes, length, sink, owner))
            return -1;
        bytes += length;
        remaining -= length;
    }
    return static_cast<int>(count);
}

bool CWavACM::ConvertFirstStage(const BYTE* bytes, DWORD length, AcmSinkCallback sink,
                                void* owner) {
    const DWORD room = stagingCapacity - staged;
    CAcmStream::Result result;
    if (!firstStage.Convert(bytes, length, staging.data + staged, room,
                            ACM_STREAMCONVERTF_BLOCKALIGN, result) ||
        result.used != length)
        return false;
    staged += result.produced;
    if (stagingCapacity - staged >= periodOutput)
        return true;
    return ConvertStaged(staged, ACM_STREAMCONVERTF_BLOCKALIGN) && Deliver(sink, owner);
}

// Converts the first length staged bytes and keeps the unconverted tail at the
// start of the buffer. A block-aligned pass that takes nothing would be
// offered the same bytes again forever, so it counts as a failure.
bool CWavACM::ConvertStaged(DWORD length, DWORD flags) {
    CAcmStream::Result result;
    if (!mainStream.Convert(staging.data, length, output.data, outputCapacity, flags, result))
        return false;
    produced = result.produced;
    staged = length - result.used;
    std::memmove(staging.data, staging.data + result.used, staged);
    return result.used > 0 || !(flags & ACM_STREAMCONVERTF_BLOCKALIGN);
}

bool CWavACM::Deliver(AcmSinkCallback sink, void* owner) {
    if (produced == 0)
        return true;
    const int handled = sink(output.data, static_cast<int>(produced), owner);
    produced = 0;
    if (handled < 0)
        return false;
    fileBytes += static_cast<DWORD>(handled);
    return true;
}

int CWavACM::Flush(AcmSinkCallback sink, void* owner) {
    if (carried > 0 && !FlushFirstStage())
        return 0;
    if (!mainStream.IsOpen() || staged == 0)
        return 1;
    // No flags at all, so that a last partial block is converted too where
    // the codec can; the ACM refuses a length that yields no output.
    if (mainStream.DestSizeFor(staged) > 0 && (!ConvertStaged(staged, 0) || !Deliver(sink, owner)))
        return 0;
    if (staged > 0 && !PadLastBlock(sink, owner))
        return 0;
    staged = 0;
    return 1;
}

// The last part of a resampling period; the staging buffer always has room
// for a whole period.
bool CWavACM::FlushFirstStage() {
    if (firstStage.DestSizeFor(carried) == 0) {
        carried = 0; // less than makes one frame
        return true;
    }
    CAcmStream::Result result;
    const bool converted = firstStage.Convert(carry.data, carried, staging.data + staged,
                                              stagingCapacity - staged, 0, result);
    carried = 0;
    staged += result.produced;
    return converted;
}

// Codecs that encode whole blocks only (Wine's IMA ADPCM even without the
// block-align flag) leave the last fraction of a block unconverted. Ending it
// with silence keeps the audio instead of cutting up to a block off the end.
bool CWavACM::PadLastBlock(AcmSinkCallback sink, void* owner) {
    const DWORD blockSource = mainStream.SourceSizeFor(GetTarget()->nBlockAlign);
    if (blockSource == 0)
        return false;
    const DWORD padded = RoundUp(staged, blockSource);
    if (padded > stagingCapacity)
        return false;
    std::memset(staging.data + staged, SilenceOf(MainSource()), padded - staged);
    return ConvertStaged(padded, 0) && Deliver(sink, owner);
}

// Frames at the file's own rate, as a player counts its length: the PCM the
// main stream took for the bytes written, scaled from that PCM's rate to the
// file's (the same except when the one stage changes the rate).
DWORD CWavACM::GetFrameCount() const {
    const WAVEFORMATEX& pcm = MainSource();
    const WAVEFORMATEX* file = GetTarget();
    if (pcm.nBlockAlign == 0 || pcm.nSamplesPerSec == 0)
        return 0;
    const DWORD bytes = mainStream.IsOpen() ? mainStream.SourceSizeFor(fileBytes) : fileBytes;
    const uint64_t frames = bytes / pcm.nBlockAlign;
    const DWORD rate = file ? file->nSamplesPerSec : pcm.nSamplesPerSec;
    return static_cast<DWORD>(frames * rate / pcm.nSamplesPerSec);
}

int CWavACM::PrepareRead() {
    const WAVEFORMATEX* fileFormat = GetTarget();
    if (!fileFormat)
        return IsPcm(Source()) && Source().nBlockAlign != 0 ? 1 : 0;
    const DWORD blockAlign = fileFormat->nBlockAlign;
    if (blockAlign == 0 || !SuggestPcm(fileFormat, Source()))
        return 0;
    if (!mainStream.Open(fileFormat, &Source()))
        return 0;
    stagingCapacity = blockAlign > ReadPortion ? 0 : ReadPortion - ReadPortion % blockAlign;
    outputCapacity = RoundUp(mainStream.DestSizeFor(stagingCapacity), ReadOutputGranule);
    return Allocate(staging, stagingCapacity) && Allocate(output, outputCapacity) ? 1 : 0;
}

void CWavACM::BeginReading(DWORD dataSize) {
    fileBytes = 0;
    fileLimit = dataSize;
    staged = 0;
    produced = 0;
    handedOut = 0;
    lastRefillFull = true;
}

int CWavACM::Decode(BYTE* buffer, DWORD count, AcmSourceCallback fetch, void* owner) {
    if (!mainStream.IsOpen())
        return DecodeStraight(buffer, count, fetch, owner);
    DWORD delivered = 0;
    while (delivered < count) {
        if (handedOut < produced) {
            const DWORD n = std::min(count - delivered, produced - handedOut);
            std::memcpy(buffer + delivered, output.data + handedOut, n);
            handedOut += n;
            delivered += n;
            continue;
        }
        // After a short refill everything has been converted: the data ended.
        if (!lastRefillFull)
            break;
        if (!Refill(fetch, owner))
            return -1;
        // A last partial block decodes to nothing; it is dropped.
        if (staged == 0 || (!lastRefillFull && mainStream.DestSizeFor(staged) == 0))
            break;
        const bool straight = count - delivered >= outputCapacity;
        BYTE* dest = straight ? buffer + delivered : output.data;
        const DWORD flags = lastRefillFull ? ACM_STREAMCONVERTF_BLOCKALIGN : 0;
        CAcmStream::Result result;
        if (!mainStream.Convert(staging.data, staged, dest, outputCapacity, flags, result))
            return -1;
        if (lastRefillFull && result.used == 0)
            return -1;
        staged -= result.used;
        std::memmove(staging.data, staging.data + result.used, staged);
        if (straight) {
            delivered += result.produced;
        } else {
            produced = result.produced;
            handedOut = 0;
        }
    }
    return static_cast<int>(delivered);
}

// Keeps the unconverted tail and reads no further than the "data" chunk.
bool CWavACM::Refill(AcmSourceCallback fetch, void* owner) {
    const DWORD wanted = std::min(stagingCapacity - staged, fileLimit - fileBytes);
    if (wanted > 0) {
        const int got = fetch(staging.data + staged, static_cast<int>(wanted), owner);
        if (got < 0)
            return false;
        staged += static_cast<DWORD>(got);
        fileBytes += static_cast<DWORD>(got);
    }
    lastRefillFull = staged == stagingCapacity;
    return true;
}

int CWavACM::DecodeStraight(BYTE* buffer, DWORD count, AcmSourceCallback fetch, void* owner) {
    const DWORD wanted = std::min(count, fileLimit - fileBytes);
    if (wanted == 0)
        return 0;
    const int got = fetch(buffer, static_cast<int>(wanted), owner);
    if (got < 0)
        return -1;
    fileBytes += static_cast<DWORD>(got);
    return got;
}

void CWavACM::Reset() {
    staging.Free();
    output.Free();
    carry.Free();
    carried = 0;
    periodBytes = 0;
    periodOutput = 0;
    intermediate.reset();
    firstStage.Close();
    mainStream.Close();
    target.Free();
    stagingCapacity = 0;
    staged = 0;
    outputCapacity = 0;
    produced = 0;
    fileBytes = 0;
    fileLimit = 0xFFFFFFFF;
    handedOut = 0;
    lastRefillFull = true;
}

#include "pcm/CWaveFileACM.h"
#include <cstring>
#include <vector>

namespace {

constexpr int PcmRecordSize = 16;

} // namespace

int CWaveFileACM::OpenWrite(const std::wstring& path) {
    if (IsOpen())
        return 0;
    mode = Mode::Writing;
    failed = false;
    if (!converter.PrepareWrite())
        return 0;
    if (!file.OpenWrite(path, converter.GetFormatChunkSize()))
        return 0;
    // The partly written file stays on disk, as the system left it.
    if (!WriteHeaderAndStreams() || !file.BeginData(converter.GetFileBytes())) {
        Abandon();
        return 0;
    }
    return 1;
}

bool CWaveFileACM::WriteHeaderAndStreams() {
    const WAVEFORMATEX* target = converter.GetTarget();
    const int chunkSize = static_cast<int>(converter.GetFormatChunkSize());
    if (!target)
        return file.Write(&converter.GetSourceFormat(), chunkSize) == chunkSize;
    return file.Write(target, chunkSize) == chunkSize && converter.OpenWriteStreams();
}

int CWaveFileACM::Write(const void* bytes, int count) {
    if (!IsOpen() || mode != Mode::Writing || count <= 0 || !bytes)
        return 0;
    if (failed)
        return -1;
    const int taken = converter.Convert(static_cast<const BYTE*>(bytes), static_cast<DWORD>(count),
                                        WriteToFile, this);
    if (taken < 0)
        failed = true;
    return taken;
}

int CWaveFileACM::Close() {
    int finished = 1;
    if (IsOpen())
        finished = mode == Mode::Writing ? FinishWriting() : file.EndData();
    Abandon();
    return finished;
}

// Nothing more is converted after a failure: the bytes staged then may not
// follow what reached the file.
int CWaveFileACM::FinishWriting() {
    if (!failed && !converter.Flush(WriteToFile, this))
        failed = true;
    if (!file.EndDataWithFact(converter.GetFrameCount()))
        failed = true;
    return failed ? 0 : 1;
}

void CWaveFileACM::Abandon() {
    file.Close();
    converter.Reset();
    failed = false;
}

int CWaveFileACM::OpenRead(const std::wstring& path) {
    if (IsOpen())
        return 0;
    mode = Mode::Reading;
    failed = false;
    if (!file.OpenRead(path) || !ReadFileFormat() || !converter.PrepareRead() || !file.FindData()) {
        Abandon();
        return 0;
    }
    converter.BeginReading(file.GetDataSize());
    return 1;
}

// The format record must lie inside the "fmt " chunk: a longer extra size
// than the chunk holds would read the next chunk as codec data.
bool CWaveFileACM::ReadFileFormat() {
    WAVEFORMATEX head{};
    if (!file.Read(&head, PcmRecordSize))
        return false;
    converter.SetDestFormat(nullptr);
    if (head.wFormatTag == WAVE_FORMAT_PCM) {
        head.cbSize = 0;
        converter.SetSourceFormat(&head);
        return true;
    }
    // A 16-byte chunk holds a record without extension.
    if (file.GetFormatSize() >= sizeof(WAVEFORMATEX) &&
        !file.Read(&head.cbSize, sizeof head.cbSize))
        return false;
    if (sizeof(WAVEFORMATEX) + head.cbSize > file.GetFormatSize())
        return false;
    std::vector<BYTE> record(sizeof(WAVEFORMATEX) + head.cbSize);
    std::memcpy(record.data(), &head, sizeof head);
    if (head.cbSize > 0 && !file.Read(record.data() + sizeof head, head.cbSize))
        return false;
    return converter.SetDestFormat(reinterpret_cast<const WAVEFORMATEX*>(record.data())) == 1;
}

int CWaveFileACM::Read(void* buffer, int count) {
    if (!IsOpen() || mode != Mode::Reading || count <= 0 || !buffer)
        return 0;
    return converter.Decode(static_cast<BYTE*>(buffer), static_cast<DWORD>(count), ReadFromFile,
                            this);
}

// A file operation that fails ends the conversion: the converter passes -1 on.
int CWaveFileACM::WriteToFile(const void* bytes, int count, void* owner) {
    auto* self = static_cast<CWaveFileACM*>(owner);
    return self->file.Write(bytes, count) == count ? count : -1;
}

int CWaveFileACM::ReadFromFile(void* bytes, int count, void* owner) {
    auto* self = static_cast<CWaveFileACM*>(owner);
    return self->file.Read(bytes, count) == count ? count : -1;
}

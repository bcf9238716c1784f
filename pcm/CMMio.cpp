#include "pcm/CMMio.h"
#include "framework/OutputFile.h"

namespace {

constexpr uint64_t NoParentEnd = ~0ull;

uint64_t Padded(uint64_t length) { return length + (length & 1); }

} // namespace

CMMio::CMMio() {
    riff.ckid = FOURCC_RIFF;
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    format.ckid = mmioFOURCC('f', 'm', 't', ' ');
    data.ckid = mmioFOURCC('d', 'a', 't', 'a');
    fact.ckid = mmioFOURCC('f', 'a', 'c', 't');
}

int CMMio::OpenWrite(const std::wstring& name, DWORD formatSize) {
    if (IsOpen() || !OpenFile(name, true))
        return 0;
    riff.cksize = 0;
    format.cksize = formatSize;
    if (!CreateChunk(riff) || !CreateChunk(format)) {
        Close();
        return 0;
    }
    return 1;
}

int CMMio::Write(const void* bytes, int count) {
    if (!IsOpen() || count <= 0 || !bytes)
        return 0;
    // The pad byte an odd chunk needs counts too: it is written at ascend.
    if (Padded(position + static_cast<uint64_t>(count)) > MaxFileLength)
        return 0;
    return WriteAll(bytes, static_cast<DWORD>(count)) ? count : 0;
}

int CMMio::BeginData(DWORD factValue) {
    if (!IsOpen() || dataBegun || !Ascend(format))
        return 0;
    fact.cksize = sizeof(DWORD);
    if (!CreateChunk(fact) || !WriteDword(factValue) || !Ascend(fact))
        return 0;
    data.cksize = 0;
    if (!CreateChunk(data))
        return 0;
    // Nothing to flush: writes are not buffered here.
    dataBegun = true;
    return 1;
}

int CMMio::EndDataWithFact(DWORD factValue) {
    if (!EndData())
        return 0;
    if (!Seek(0) || !FindRiffWave() || !FindChunk(fact, &riff) || !WriteDword(factValue))
        return 0;
    fact.dwFlags |= MMIO_DIRTY;
    return Ascend(fact) && Ascend(riff) ? 1 : 0;
}

int CMMio::EndData() {
    if (!IsOpen() || !dataBegun)
        return 0;
    dataBegun = false;
    return Ascend(data) && Ascend(riff) ? 1 : 0;
}

int CMMio::OpenRead(const std::wstring& name) {
    if (IsOpen() || !OpenFile(name, false))
        return 0;
    if (!FindRiffWave() || !FindChunk(format, &riff))
        return 0;
    return format.cksize >= 16 ? 1 : 0;
}

int CMMio::Read(void* bytes, int count) {
    if (!IsOpen() || count <= 0 || !bytes)
        return 0;
    return ReadAll(bytes, static_cast<DWORD>(count)) ? count : 0;
}

int CMMio::FindData() {
    if (!IsOpen() || !Ascend(format) || !FindChunk(data, &riff))
        return 0;
    dataBegun = true;
    return 1;
}

void CMMio::Close() {
    file.Reset();
    position = 0;
    fileLength = 0;
    dataBegun = false;
}

bool CMMio::OpenFile(const std::wstring& name, bool forWriting) {
    path = name;
    const DWORD access = forWriting ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    HANDLE h = forWriting ? CreateOutputFile(name, access, FILE_SHARE_READ)
                          : CreateFileW(name.c_str(), access, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    file.Reset(h);
    position = 0;
    fileLength = 0;
    dataBegun = false;
    return true;
}

// Writes the chunk header with the size the descriptor holds; the size is
// made right when the chunk is ascended.
bool CMMio::CreateChunk(MMCKINFO& chunk) {
    const uint64_t dataOffset = position + 8;
    if (dataOffset > 0xFFFFFFFFull)
        return false;
    chunk.dwDataOffset = static_cast<DWORD>(dataOffset);
    chunk.dwFlags = MMIO_DIRTY;
    if (!WriteDword(chunk.ckid) || !WriteDword(chunk.cksize))
        return false;
    return chunk.ckid != FOURCC_RIFF || WriteDword(chunk.fccType);
}

// Reads chunk headers from the current position, skipping the data of each
// chunk that does not match, and stops at the parent's end. "RIFF" must also
// carry the descriptor's form type; its data offset is that of the form type.
bool CMMio::FindChunk(MMCKINFO& chunk, const MMCKINFO* parent) {
    const uint64_t end =
        parent ? static_cast<uint64_t>(parent->dwDataOffset) + parent->cksize : NoParentEnd;
    for (;;) {
        DWORD id = 0, size = 0;
        if (position + 8 > end || !ReadDword(id) || !ReadDword(size))
            return false;
        const uint64_t dataOffset = position;
        const uint64_t next = Padded(dataOffset + size);
        if (dataOffset > 0xFFFFFFFFull)
            return false;
        if (id == chunk.ckid) {
            DWORD form = 0;
            const bool wanted =
                id != FOURCC_RIFF || (size >= 4 && ReadDword(form) && form == chunk.fccType);
            if (wanted) {
                chunk.cksize = size;
                chunk.dwDataOffset = static_cast<DWORD>(dataOffset);
                chunk.dwFlags = 0;
                return true;
            }
        }
        if (next > end || !Seek(next))
            return false;
    }
}

bool CMMio::FindRiffWave() { return FindChunk(riff, nullptr); }

// Leaves the position after the chunk (and its pad byte). A chunk written by
// this object, or marked dirty, gets its true length in its header first.
bool CMMio::Ascend(MMCKINFO& chunk) {
    if (chunk.dwFlags & MMIO_DIRTY) {
        if (position < chunk.dwDataOffset || position - chunk.dwDataOffset > 0xFFFFFFFFull)
            return false;
        const DWORD length = static_cast<DWORD>(position - chunk.dwDataOffset);
        const BYTE pad = 0;
        if ((length & 1) && !WriteAll(&pad, 1))
            return false;
        if (!Seek(chunk.dwDataOffset - 4) || !WriteDword(length))
            return false;
        chunk.cksize = length;
        chunk.dwFlags = 0;
    }
    return Seek(Padded(static_cast<uint64_t>(chunk.dwDataOffset) + chunk.cksize));
}

bool CMMio::Seek(uint64_t offset) {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file.Get(), to, nullptr, FILE_BEGIN))
        return false;
    position = offset;
    return true;
}

// A write that fails part-way is taken back when it was appending, so the
// file holds exactly the writes that succeeded.
bool CMMio::WriteAll(const void* bytes, DWORD count) {
    const uint64_t start = position;
    const uint64_t lengthBefore = fileLength;
    DWORD written = 0;
    const BOOL ok = WriteFile(file.Get(), bytes, count, &written, nullptr);
    position += written;
    if (position > fileLength)
        fileLength = position;
    if (ok && written == count)
        return true;
    if (Seek(start) && start >= lengthBefore && SetEndOfFile(file.Get()))
        fileLength = start;
    return false;
}

bool CMMio::ReadAll(void* bytes, DWORD count) {
    DWORD got = 0;
    const BOOL ok = ReadFile(file.Get(), bytes, count, &got, nullptr);
    position += got;
    return ok && got == count;
}

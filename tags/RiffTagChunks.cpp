#include "RiffTagChunks.h"
#include "TagText.h"
#include "framework/CHandleOwner.h"
#include "resources/ErrorNumbers.h"
#include <cstdint>
#include <cstring>
#include <windows.h>

namespace {

// The RIFF size field counts the file less its first 8 bytes.
constexpr uint64_t kMaxRiffFileSize = 0xFFFFFFFFull + 8;

void AppendU32(CChunkBytes& bytes, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<unsigned char>(value >> shift));
}

uint32_t U32At(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

bool Seek(HANDLE file, uint64_t offset) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != 0;
}

bool ReadAt(HANDLE file, uint64_t offset, unsigned char* bytes, DWORD count) {
    DWORD read = 0;
    return Seek(file, offset) && ReadFile(file, bytes, count, &read, nullptr) && read == count;
}

bool WriteAt(HANDLE file, uint64_t offset, const unsigned char* bytes, size_t count) {
    if (!Seek(file, offset))
        return false;
    while (count > 0) {
        const DWORD part = static_cast<DWORD>(count < (1u << 30) ? count : 1u << 30);
        DWORD written = 0;
        if (!WriteFile(file, bytes, part, &written, nullptr) || written != part)
            return false;
        bytes += part;
        count -= part;
    }
    return true;
}

// Ends the file at size and makes the RIFF size say so.
bool EndAt(HANDLE file, uint64_t size) {
    CChunkBytes riffSize;
    AppendU32(riffSize, static_cast<uint32_t>(size - 8));
    return Seek(file, size) && SetEndOfFile(file) && WriteAt(file, 4, riffSize.data(), 4);
}

// Where tag chunks go: after the last chunk that is not one, with the pad
// byte that chunk may still lack. False when the file is no RIFF WAVE file or
// a chunk runs past its end.
bool FindTagPlace(HANDLE file, uint64_t fileSize, uint64_t& place, bool& padFirst) {
    unsigned char header[12];
    if (!ReadAt(file, 0, header, 12) || std::memcmp(header, "RIFF", 4) ||
        std::memcmp(header + 8, "WAVE", 4))
        return false;
    place = 12;
    padFirst = false;
    for (uint64_t offset = 12; offset + 8 <= fileSize;) {
        if (!ReadAt(file, offset, header, 8))
            return false;
        const uint32_t size = U32At(header + 4);
        const uint64_t end = offset + 8 + size;
        if (end > fileSize)
            return false;
        const bool list = !std::memcmp(header, "LIST", 4) && size >= 4;
        if (list && !ReadAt(file, offset + 8, header + 8, 4))
            return false;
        const bool tag = !std::memcmp(header, "id3 ", 4) || !std::memcmp(header, "ID3 ", 4) ||
                         (list && !std::memcmp(header + 8, "INFO", 4));
        if (!tag) {
            place = end;
            padFirst = size % 2 != 0;
        }
        offset = end + size % 2;
    }
    return true;
}

} // namespace

CChunkBytes RiffChunk(const char* id, const CChunkBytes& body) {
    CChunkBytes chunk(id, id + 4);
    AppendU32(chunk, static_cast<uint32_t>(body.size()));
    chunk.insert(chunk.end(), body.begin(), body.end());
    if (body.size() % 2)
        chunk.push_back(0);
    return chunk;
}

CChunkBytes InfoListChunk(const CTagRecord& record) {
    const std::wstring track = record.track ? std::to_wstring(record.track) : L"";
    const std::pair<const char*, const std::wstring*> fields[] = {
        {"INAM", &record.title}, {"IART", &record.artist}, {"IPRD", &record.album},
        {"ICRD", &record.date},  {"IGNR", &record.genre},  {"ICMT", &record.comment},
        {"ITRK", &track}};
    CChunkBytes body = {'I', 'N', 'F', 'O'};
    for (const auto& field : fields) {
        if (field.second->empty())
            continue;
        const std::string text = Utf8Of(*field.second);
        CChunkBytes zeroEnded(text.begin(), text.end());
        zeroEnded.push_back(0);
        const CChunkBytes chunk = RiffChunk(field.first, zeroEnded);
        body.insert(body.end(), chunk.begin(), chunk.end());
    }
    return body.size() > 4 ? RiffChunk("LIST", body) : CChunkBytes();
}

int PutTagChunks(const std::wstring& path, const std::vector<CChunkBytes>& choices,
                 size_t* taken) {
    size_t none = 0;
    size_t& choice = taken ? *taken : none;
    choice = choices.size();
    HANDLE opened = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return kTagWriteFailed;
    CKernelHandle file(opened);
    LARGE_INTEGER fileSize;
    uint64_t place = 0;
    bool padFirst = false;
    if (!GetFileSizeEx(file.Get(), &fileSize) ||
        !FindTagPlace(file.Get(), static_cast<uint64_t>(fileSize.QuadPart), place, padFirst))
        return kTagWriteFailed;
    const uint64_t start = place + (padFirst ? 1 : 0);
    for (const CChunkBytes& chunks : choices) {
        if (start + chunks.size() > kMaxRiffFileSize)
            continue;
        choice = static_cast<size_t>(&chunks - choices.data());
        const unsigned char pad = 0;
        if ((padFirst && !WriteAt(file.Get(), place, &pad, 1)) ||
            !WriteAt(file.Get(), start, chunks.data(), chunks.size()) ||
            !EndAt(file.Get(), start + chunks.size())) {
            EndAt(file.Get(), start);
            return kTagWriteFailed;
        }
        return 0;
    }
    return 0;
}

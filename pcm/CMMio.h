#pragma once
// The multimedia headers need the types of <windows.h> first.
#include <windows.h>

#include "framework/CHandleOwner.h"
#include <cstdint>
#include <mmsystem.h>
#include <string>

// The chunks of a RIFF WAVE file: "RIFF"/"WAVE" around "fmt ", "fact" and
// "data". Knows nothing of the audio; its user hands it the format record,
// the frame count and the data bytes in a fixed order.
//
// Built on plain file I/O rather than the buffered multimedia functions:
// every write reaches the system before it returns, so a full disk is seen by
// the write that met it and not later by a close nobody checks, and offsets
// are 64-bit so the 4 GiB ceiling of the size fields can be kept.
class CMMio {
  public:
    CMMio();
    // Closes without ascending: an unfinished file keeps its creation sizes.
    ~CMMio() = default;
    CMMio(const CMMio&) = delete;
    CMMio& operator=(const CMMio&) = delete;

    int OpenWrite(const std::wstring& path, DWORD formatSize);
    // Refuses (0, nothing written) a write that would carry the file past what
    // the 32-bit RIFF size can describe. A failed write leaves the file as it
    // was before the write.
    int Write(const void* bytes, int count);
    int BeginData(DWORD factValue);
    int EndDataWithFact(DWORD factValue);
    int EndData();

    int OpenRead(const std::wstring& path);
    // Exactly count bytes or 0: a short read at the end of the file fails.
    int Read(void* bytes, int count);
    int FindData();

    DWORD GetFormatSize() const { return format.cksize; }
    DWORD GetDataSize() const { return data.cksize; }
    const std::wstring& GetPath() const { return path; }
    bool IsOpen() const { return static_cast<bool>(file); }
    void Close();

    // The largest file the RIFF size field can describe.
    static constexpr uint64_t MaxFileLength = 0xFFFFFFFFull + 8;

  private:
    bool OpenFile(const std::wstring& name, bool forWriting);
    bool CreateChunk(MMCKINFO& chunk);
    bool FindChunk(MMCKINFO& chunk, const MMCKINFO* parent);
    bool FindRiffWave();
    bool Ascend(MMCKINFO& chunk);
    bool Seek(uint64_t offset);
    bool WriteAll(const void* bytes, DWORD count);
    bool ReadAll(void* bytes, DWORD count);
    bool WriteDword(DWORD value) { return WriteAll(&value, sizeof value); }
    bool ReadDword(DWORD& value) { return ReadAll(&value, sizeof value); }

    std::wstring path;
    CFileHandle file;
    uint64_t position = 0;   // kept in step with the system's file pointer
    uint64_t fileLength = 0; // writing: bytes in the file so far
    bool dataBegun = false;
    MMCKINFO riff{};
    MMCKINFO format{};
    MMCKINFO data{};
    MMCKINFO fact{};
};

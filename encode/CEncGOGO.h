#pragma once
#include "CGoGoStab.h"
#include "encode/CEncoderOptions.h"
#include "framework/CHandleOwner.h"
#include "framework/CMemBuffBase.h"
#include <string>
#include <vector>

// Encodes one conversion's PCM into an MP3 file, or into MP3 frames inside a
// RIFF WAVE file, through gogo.dll. PCM is queued here and handed to the
// library through its input function; the library's output goes to the file
// through the output function. Neither function carries a context, so they
// act on the calling thread's encoder: the library keeps one per thread.
class CEncGOGO {
  public:
    CEncGOGO();
    virtual ~CEncGOGO();
    CEncGOGO(const CEncGOGO&) = delete;
    CEncGOGO& operator=(const CEncGOGO&) = delete;

    // 0, or -2 (no usable library), -3 or -5 (settings refused by the
    // library), 501 (no queue) or 6001 (no output file).
    int Start(const WAVEFORMATEX& format, const std::wstring& path, int riffOutput,
              const CMp3Options& options);
    // Blocks of any size: 0, or the library's failing frame result; 501 when
    // there is no queue to take the block.
    virtual int Write(const unsigned char* bytes, int count);
    // 0, or 6001 when the file cannot be created.
    virtual int OpenFile(const std::wstring& path);
    virtual void Close();
    // Encodes what is queued, closes the coder and the file. 0, or the
    // library's failure in doing so, which would leave the file incomplete.
    int Finish();

  private:
    static int __cdecl InputFunction(void* buffer, unsigned long length) noexcept;
    static int __cdecl CountedInputFunction(void* buffer, unsigned long length,
                                            unsigned long* delivered) noexcept;
    static int __cdecl OutputFunction(void* buffer, unsigned long length) noexcept;
    void ConfigureBitRate();
    int EncodeQueued();
    int MakeRoom(int wanted);
    void Compact();
    int Deliver(unsigned char* buffer, unsigned long length, unsigned long* delivered);
    int WriteOut(const void* buffer, unsigned long length);
    int Flush();
    int Rewind();

    static thread_local CEncGOGO* active;

    int riffOutput = 0;
    CMp3Options settings;
    CMemBuffBase<unsigned char> queue;
    unsigned char* queueBase = nullptr;
    unsigned char* readPosition = nullptr;
    int queued = 0;
    CFileHandle file;
    // The library's output, gathered into larger writes: one system call
    // per frame costs more than the copy.
    std::vector<unsigned char> unwritten;
    CGoGoStab loader;
};

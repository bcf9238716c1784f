#pragma once
#include "pcm/CMMio.h"
#include "pcm/CWavACM.h"
#include <string>

// A WAVE file of PCM or of any ACM codec format: written from PCM blocks,
// converted on the way, or read back as PCM.
class CWaveFileACM {
  public:
    CWaveFileACM() = default;
    virtual ~CWaveFileACM() { Close(); }
    CWaveFileACM(const CWaveFileACM&) = delete;
    CWaveFileACM& operator=(const CWaveFileACM&) = delete;

    virtual int OpenRead(const std::wstring& path);
    virtual int OpenWrite(const std::wstring& path);
    // Decoded PCM bytes delivered (0 at the end of the data), or -1.
    virtual int Read(void* buffer, int count);
    // Source bytes taken, or -1 once a conversion or a file write has failed;
    // 0 when not open for writing.
    virtual int Write(const void* bytes, int count);
    // Finishes the file. After a failure the header still describes exactly
    // what reached the file. Returns 1 only when every byte taken reached the
    // file and the header was finished.
    virtual int Close();

    void SetSourceFormat(const WAVEFORMATEX* format) { converter.SetSourceFormat(format); }
    int SetDestFormat(const WAVEFORMATEX* format) { return converter.SetDestFormat(format); }
    int ChooseFormat(HWND owner) { return converter.ChooseFormat(owner); }
    const WAVEFORMATEX* GetDestFormat() const { return converter.GetDestFormat(); }
    // While reading: the PCM that Read delivers.
    const WAVEFORMATEX& GetSourceFormat() const { return converter.GetSourceFormat(); }
    bool IsOpen() const { return file.IsOpen(); }

  private:
    enum class Mode { Reading, Writing };

    bool WriteHeaderAndStreams();
    bool ReadFileFormat();
    int FinishWriting();
    void Abandon();
    static int WriteToFile(const void* bytes, int count, void* owner);
    static int ReadFromFile(void* bytes, int count, void* owner);

    Mode mode = Mode::Reading;
    bool failed = false;
    CWavACM converter;
    CMMio file;
};

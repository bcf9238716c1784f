#pragma once
#include <string>

// The encoder and volume settings. Each record loads itself from the
// profile section "DATA" when constructed and saves itself when destroyed,
// so the record destroyed last decides what the store holds.
class CAudioInfo {
  public:
    // Defaults are given by Load.
    int EncType = 0;     // MP3 channel mode 0..4
    int cbr_bps = 0;     // MP3 constant bit rate, kbit/s
    int vbr = 0;         // MP3 variable bit rate when non-zero
    int Qual = 0;        // MP3 VBR quality 0 (best) .. 9
    int vbr_bps = 0;     // MP3 bit rate in VBR mode, kbit/s
    int wma7 = 0;        // 1-based system profile of format version 7.0
    int wma4 = 0;        // 1-based system profile of format version 4.0
    std::wstring wmaPRX; // WMA profile file
    int wma2Pass = 0;    // two-pass WMA with a profile file
    int wmaSelect = 0;   // 0 version 4.0, 1 version 7.0, 2 profile file
    int VOL = 0;         // volume in percent
    int copyTags = 1;    // the input's tags go into the output when non-zero
    int flacLevel = 0;   // FLAC compression level 0..8
    int flacVerify = 0;  // FLAC output verified while written when non-zero
    int flacBits = 0;    // FLAC depth 16 or 24; 0 the source's
    int flacRate = 0;    // FLAC rate 44100 or 48000; 0 the source's
    int opusKbps = 0;    // Opus bit rate, kbit/s 6..510
    int opusMode = 0;    // Opus 0 VBR, 1 constrained VBR, 2 CBR
    int mp3Threads = 0;  // threads one MP3 conversion uses; 0: one per processor
    int decoder = 0;     // 0 the built-in decoder first, 1 the system's filters only

    CAudioInfo();
    // Copies without loading; the copy saves itself like any record.
    CAudioInfo(const CAudioInfo& other);
    CAudioInfo& operator=(const CAudioInfo&) = delete;
    virtual ~CAudioInfo();

    void Load();
    void Save() const;
    void CopyFrom(const CAudioInfo& other);
};

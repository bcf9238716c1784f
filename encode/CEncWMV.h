#pragma once
#include <windows.h>

#include "CWMVCoreLibrary.h"
#include "framework/CComInitialiser.h"
#include "framework/CComPtr.h"
#include "tags/CTagRecord.h"
#include <vector>
#include <wmsdkidl.h>

// A Windows Media writer set up from a writer profile: a system profile
// chosen by format version and index, or a profile file. It knows a video
// input as well, but this program writes audio only, so a profile with a
// video stream is refused when the writer is opened.
//
// The operations answer 0 or an error number; the writer steps
// (CreateWriter, SetupInputs, SetAudioInput) answer the platform's result,
// which Open maps to its number.
class CEncWMV {
  public:
    // The platform's writer, from wmvcore.dll.
    CEncWMV();
    // The writer and profile manager come from the given entry points.
    explicit CEncWMV(const WMFactory& factory);
    virtual ~CEncWMV();
    CEncWMV(const CEncWMV&) = delete;
    CEncWMV& operator=(const CEncWMV&) = delete;

    // 0, or 3004 when the file cannot be read or the manager rejects it.
    virtual int LoadProfileFile(const wchar_t* path);
    // Selector 0, 1, 2: format version 4.0, 7.0, 8.0 with its 1-based index;
    // any other selector loads nothing. 0, or 3001.
    virtual int LoadSystemProfile(int selector, int index4, int index7, int index8);
    // Creates the writer for the loaded profile, writes the tags into its
    // header and begins writing; a second call before Close keeps the first
    // writer. 0, 3002, 3003, 6201 (a tag refused), or BeginPass's answer.
    virtual int Open(const wchar_t* path, const BITMAPINFOHEADER* videoFormat, int frameRate,
                     int samplesPerSec, int channels, int bitsPerSample);
    // The tags the next Open writes into the file's header.
    void SetTags(const CTagRecord& record) { tags = record; }
    // After Open: whether the cover was left out, larger than a writer
    // without the large attributes of IWMHeaderInfo3 can take.
    bool CoverLeftOut() const { return coverLeftOut; }
    // 3008 without a video input; 3007 otherwise, as no video is ever set up.
    virtual int WriteVideoFrame(const BYTE* frame);
    // Ends writing and leaves the object idle; when the writer refuses to
    // end, its result is answered and everything is kept.
    virtual int Close();
    // Leaves the object idle without ending the writer: every reference is
    // let go, and with the writer the output file it held open, unfinished.
    void Abandon();
    virtual int EndPass();
    virtual int BeginPass();
    virtual int GetTwoPass() const;
    virtual void SetTwoPass(int flag);
    virtual void SetVideoFormat(const BITMAPINFOHEADER* format, int frameRate);
    virtual void ReleaseAll();
    virtual HRESULT CreateWriter(const wchar_t* path);
    virtual HRESULT SetupInputs();
    virtual HRESULT SetAudioInput(int samplesPerSec, int channels, int bitsPerSample);

    // Number of system profiles of a format version (0x40000, 0x70000,
    // 0x80000); 0 when the profile manager cannot tell.
    static int GetSystemProfileCount(DWORD version);
    static int GetSystemProfileCount(DWORD version, const WMFactory& factory);
    // A profile file's bytes as they are, followed by at least two zero
    // bytes that end the text; an odd-sized file gets a third, so the last
    // character is whole. Disk files only.
    static HRESULT ReadProfileText(const wchar_t* path, std::vector<wchar_t>& text);

  protected:
    CComInitialiser com;
    // Declared before every interface pointer, so it is freed after them.
    CWMVCoreLibrary library;
    int frameCount = 0;
    CComPtr<IWMProfile> profile;
    CComPtr<IWMWriter> writer;
    CComPtr<IWMInputMediaProps> videoProps;
    DWORD videoInput = 0;
    BITMAPINFOHEADER videoFormat = {};
    int videoFrameRate = 0;
    CComPtr<IWMWriterPreprocess> preprocessor;
    int twoPass = 0;
    CComPtr<IWMInputMediaProps> audioProps;
    DWORD audioInput = 0;
    int open = 0;
    // Between a successful BeginWriting and EndWriting: only then may the
    // writer be asked to end, so a failed Open still closes to idle.
    bool writing = false;

  private:
    static HRESULT CreateProfileManager(const WMFactory& factory,
                                        CComPtr<IWMProfileManager>& manager);
    static HRESULT CreateProfileManager2(const WMFactory& factory,
                                         CComPtr<IWMProfileManager2>& manager);
    HRESULT BeginWriting();
    HRESULT TakeInput(DWORD number);
    HRESULT WriteTags();

    CTagRecord tags;
    bool coverLeftOut = false;
};

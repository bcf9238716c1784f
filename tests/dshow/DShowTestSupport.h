#pragma once
#include "decode/CDummyPCMWrite.h"
#include "framework/CComPtr.h"
#include <dshow.h>
#include <gtest/gtest.h>
#include <string>

// libstrmiids defines it, but no mingw header declares it.
EXTERN_C const CLSID CLSID_SampleGrabber;

// Every DirectShow test runs with COM initialised on its thread.
class ComTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};

// A CDummyPCMWrite that counts the live instances, so a test sees when the
// last reference deleted it without touching freed memory.
class CCountedDummy : public CDummyPCMWrite {
  public:
    explicit CCountedDummy(IUnknown* owner = nullptr);
    ~CCountedDummy() override;
    static LONG Live();

  private:
    static LONG live;
};

// A new counted filter with its first reference counted on IBaseFilter.
CComPtr<IBaseFilter> NewCountedFilter(CCountedDummy** raw = nullptr);

// The filter's first pin of the direction that is not connected, or null.
CComPtr<IPin> FirstUnconnectedPin(IBaseFilter* filter, PIN_DIRECTION direction);

// A pin's own name from QueryPinInfo.
std::wstring PinName(IPin* pin);

// A 16-bit stereo 44.1 kHz PCM WAV file of a sine in the temporary folder,
// deleted with the owner.
class CTempWav {
  public:
    explicit CTempWav(double seconds);
    ~CTempWav();
    CTempWav(const CTempWav&) = delete;
    CTempWav& operator=(const CTempWav&) = delete;
    const std::wstring& Path() const { return path; }
    DWORD DataBytes() const { return dataBytes; }

  private:
    std::wstring path;
    DWORD dataBytes = 0;
};

// A unique path in the temporary folder, deleted with the owner.
class CTempPath {
  public:
    explicit CTempPath(const wchar_t* prefix);
    ~CTempPath() { DeleteFileW(path.c_str()); }
    CTempPath(const CTempPath&) = delete;
    CTempPath& operator=(const CTempPath&) = delete;
    const std::wstring& Path() const { return path; }

  private:
    std::wstring path;
};

// 16-bit stereo 44.1 kHz PCM.
WAVEFORMATEX StereoPcmFormat();

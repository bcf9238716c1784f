#pragma once
#include "encode/CEncWMVWMA.h"
#include "support/TestFiles.h"
#include <string>

// A Windows Media writer of two passes that needs no Windows Media: any
// profile loads, it counts what each pass writes and leaves a small file
// where it is opened.
class CTwoPassWriter : public CEncWMVWMA {
  public:
    size_t written = 0;
    int LoadSystemProfile(int, int, int, int) override { return 0; }
    int Open(const wchar_t* path, const BITMAPINFOHEADER*, int, int, int, int) override {
        WriteText(path, "wma");
        return 0;
    }
    int WriteAudio(const BYTE*, int count) override {
        written += static_cast<size_t>(count);
        return 0;
    }
    int GetTwoPass() const override { return passesLeft > 1; }
    int EndPass() override {
        --passesLeft;
        return 0;
    }
    int Close() override { return 0; }

  private:
    int passesLeft = 2;
};

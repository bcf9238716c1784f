// What a job leaves on disk when it fails, with inputs that end too early
// and writers that fail: an existing output stays as it was, a new name
// stays absent, and no temporary file is left beside it.
#include "CTwoPassWriter.h"
#include "DialogTestSupport.h"
#include "MainDialogDriver.h"
#include "TestMedia.h"
#include "TestRegistryBranch.h"
#include "resdll/Res.h"
#include "resources/resource.h"
#include "support/TestFiles.h"
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

const WAVEFORMATEX kPcm = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};

// Hands over a few blocks of silence, then ends as it is told to.
class CScriptedDecoder : public CDecAudio {
  public:
    CScriptedDecoder(int endError, std::vector<std::wstring>* opened = nullptr, int failOpen = 0)
        : endError(endError), opened(opened), failOpen(failOpen) {}
    int GetProgress() override { return 50; }
    int Read(unsigned char** data, int) override {
        if (left == 0)
            return -1;
        --left;
        *data = block.data();
        return static_cast<int>(block.size());
    }
    void Close() override {}
    int Open(const wchar_t* path) override {
        if (opened)
            opened->push_back(path);
        left = 4;
        return failOpen-- == 1 ? 5008 : 0;
    }
    WAVEFORMATEX* GetFormat() override { return &format; }
    int GetEndError() override { return endError; }
    std::wstring Describe() const override { return L"scripted"; }

  private:
    int endError;
    std::vector<std::wstring>* opened;
    int failOpen; // counts down the opens; the one at 1 fails
    int left = 0;
    std::vector<unsigned char> block = std::vector<unsigned char>(4096, 0);
    WAVEFORMATEX format = kPcm;
};

// Microsoft ADPCM, which Wine's codec only decodes.
std::vector<unsigned char> MsAdpcm() {
    std::vector<unsigned char> record(sizeof(WAVEFORMATEX) + 32, 0);
    auto* format = reinterpret_cast<WAVEFORMATEX*>(record.data());
    format->wFormatTag = WAVE_FORMAT_ADPCM;
    format->nChannels = 2;
    format->nSamplesPerSec = 44100;
    format->nBlockAlign = 2048;
    format->wBitsPerSample = 4;
    format->cbSize = 32;
    format->nAvgBytesPerSec = 44359;
    const unsigned short extra[] = {2036, 7,  256, 0, 512, 65280, 0,   0,
                                    192,  64, 240, 0, 460, 65328, 392, 65304};
    std::memcpy(record.data() + sizeof(WAVEFORMATEX), extra, sizeof extra);
    return record;
}

} // namespace

class JobOutcome : public ::testing::Test {
  protected:
    TestRegistryBranch registry;
};

// The output exists beforehand ("keep") or not; the job's box is read and closed.
TEST_F(JobOutcome, OnlyAJobThatEndedWellPutsItsFileInPlace) {
    struct Case {
        const char* what;
        int endError;
        bool msAdpcm;
        const wchar_t* box; // empty: none, the job succeeded
    };
    const Case cases[] = {
        {"the graph did not run", kDecodeNotRunning, false, L"Error No.5004"},
        {"the graph aborted", kDecodeAborted, false, L"Error No.0911"},
        {"the graph stalled", kDecodeStalled, false, L"Error No.0912"},
        {"the codec cannot encode", 0, true, L"Error No.6006"},
        {"a whole input", 0, false, L""},
    };
    const std::wstring folder = MainOutputPath("outcome");
    const std::wstring output = folder + L"\\out.wav";
    const std::vector<unsigned char> msAdpcm = MsAdpcm();
    const DWORD thread = GetCurrentThreadId();
    for (const Case& c : cases) {
        for (bool existing : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (existing ? ", over a file" : ", new name"));
            EmptyFolder(folder);
            if (existing)
                WriteText(output, "keep");
            CTestZEPDlg dialog;
            dialog.makeDecoder = [&] { return new CScriptedDecoder(c.endError); };
            dialog.RememberBatchFormat(
                c.msAdpcm ? *reinterpret_cast<const WAVEFORMATEX*>(msAdpcm.data()) : kPcm);
            ShownBox box;
            RunMainDialog(dialog, [&](HWND window) {
                SetItemText(window, IDC_INPUT_PATH, folder + L"\\in.wav");
                SetItemText(window, IDC_OUTPUT_PATH, output);
                SelectEntry(window, IDC_OUTPUT_FORMAT, 0);
                Click(window, IDC_CONVERT);
                if (*c.box)
                    box = AnswerMessageBox(thread, window, 20000);
                WaitForJobs(dialog, 1);
            });
            EXPECT_EQ(c.box, box.caption);
            const std::vector<std::wstring> left = FilesIn(folder);
            if (*c.box == 0) {
                EXPECT_EQ(std::vector<std::wstring>{L"out.wav"}, left);
                EXPECT_EQ(56u + 4 * 4096, FileText(output).size()); // header, fact, the blocks
            } else if (existing) {
                EXPECT_EQ(std::vector<std::wstring>{L"out.wav"}, left);
                EXPECT_EQ("keep", FileText(output));
            } else {
                EXPECT_TRUE(left.empty());
            }
        }
    }
}

// The second pass reads the input the job began with, whatever the input
// field holds by then; an input that cannot be opened again fails the job.
TEST_F(JobOutcome, TheSecondWmaPassReadsTheJobsOwnInput) {
    const std::wstring folder = MainOutputPath("two-pass");
    const DWORD thread = GetCurrentThreadId();
    for (int failOpen : {0, 2}) {
        SCOPED_TRACE(failOpen ? "the second open fails" : "both opens succeed");
        EmptyFolder(folder);
        const std::wstring input = folder + L"\\first.wav", output = folder + L"\\out.wma";
        std::vector<std::wstring> opened;
        CTestZEPDlg dialog;
        dialog.UseWmaWriter(new CTwoPassWriter);
        dialog.makeDecoder = [&] { return new CScriptedDecoder(0, &opened, failOpen); };
        ShownBox box;
        RunMainDialog(dialog, [&](HWND window) {
            SetItemText(window, IDC_INPUT_PATH, input);
            SetItemText(window, IDC_OUTPUT_PATH, output);
            SelectEntry(window, IDC_OUTPUT_FORMAT, 3);
            Click(window, IDC_CONVERT);
            HWND settings = WaitForDialogWith(thread, IDC_WMA_TWO_PASS);
            // Typed, and read by the list's change, while the settings dialog holds the job.
            SetItemText(window, IDC_INPUT_PATH, folder + L"\\second.wav");
            SelectEntry(window, IDC_OUTPUT_FORMAT, 3);
            Click(settings, IDOK);
            if (failOpen)
                box = AnswerMessageBox(thread, window, 20000);
            WaitForJobs(dialog, 1);
        });
        EXPECT_EQ(std::vector<std::wstring>(2, input), opened);
        EXPECT_EQ(failOpen ? L"Error No.0915" : L"", box.caption);
        EXPECT_EQ(!failOpen, GetFileAttributesW(output.c_str()) != INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(failOpen ? 0u : 1u, FilesIn(folder).size());
    }
}

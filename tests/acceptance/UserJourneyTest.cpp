// ZEP.exe worked as a user works it: every kind of input to every output,
// the volume setting, a batch with a damaged file, and a picture of every
// dialog on the way. The host's ffprobe and ffmpeg check the files after
// the run (check-acceptance.sh).
#include "AcceptancePaths.h"
#include "ZepUser.h"
#include "jotter/JotterResource.h"
#include "resdll/Res.h"
#include "resources/resource.h"
#include "ZepVersion.h"
#include "support/TestFiles.h"
#include "support/WindowTestSupport.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include <sstream>

namespace {

struct Input {
    const wchar_t* name; // under in\ of the inputs
    // The chooser's attributes of the target PCM: the decoded rate and
    // channels, or 44.1 kHz where Wine's converter lists no 48 kHz.
    const wchar_t* pcmFormat;
};

const Input kInputs[] = {
    {L"tone16.wav", L"44100 Hz; 16 bits; Stereo"},
    {L"u8mono.wav", L"22050 Hz; 16 bits; Mono"},
    {L"s24.wav", L"44100 Hz; 16 bits; Stereo"},
    {L"f32.wav", L"44100 Hz; 16 bits; Stereo"},
    {L"six.wav", L"44100 Hz; 16 bits; Stereo"},
    {L"tonemp3.mp3", L"44100 Hz; 16 bits; Stereo"},
    {L"toneogg.ogg", L"44100 Hz; 16 bits; Stereo"},
    {L"toneflac.flac", L"44100 Hz; 16 bits; Stereo"},
};

// The output's name for each type; the type's extension comes last, as ZEP forces it.
const wchar_t* const kOutputSuffix[] = {L"-acm.wav", L"-l3.wav", L".mp3", L".wma"};

std::wstring Stem(const wchar_t* name) {
    std::wstring stem = name;
    return stem.substr(0, stem.rfind(L'.'));
}

// A picture for the artifacts, once per dialog and language.
std::wstring Picture(const std::wstring& name) { return L"user-" + name + L"-" + Language(); }

class UserJourney : public ::testing::Test {
  protected:
    void SetUp() override {
        ForgetSettings();
        CreateDirectoryW(OutputPath(L"").c_str(), nullptr);
    }
    void TearDown() override { ForgetSettings(); }
};

// Presses Conversion and answers what the output type asks; true when the
// job ended with "100 %".
bool ConvertAnswering(ZepUser& zep, int type, const wchar_t* pcmFormat, const std::wstring& output,
                      bool pictures) {
    DeleteFileW(output.c_str());
    zep.Press(IDC_CONVERT);
    bool answered =
        type == 0 ? zep.ChooseFormat(L"PCM", pcmFormat, pictures ? Picture(L"acm-chooser") : L"")
                  : zep.ConfirmSettings(IDC_GOGO_MODE, pictures ? Picture(L"mp3-settings") : L"");
    return answered && zep.WaitForJobEnd(output) && zep.Text(IDC_STATUS) == L"100 %";
}

} // namespace

TEST_F(UserJourney, EveryInputToEveryOutput) {
    ZepUser zep(InstallFolder(L"full"));
    ASSERT_TRUE(zep.Started());
    SaveScreenshot(zep.Main(), Picture(L"main"));
    CreateDirectoryW(OutputPath(L"matrix").c_str(), nullptr);
    bool firstOfType[4] = {true, true, true, true};
    for (const Input& input : kInputs) {
        for (int type = 0; type < 4; ++type) {
            SCOPED_TRACE(::testing::Message() << Stem(input.name).c_str() << " type " << type);
            const std::wstring output =
                OutputPath(L"matrix\\" + Stem(input.name) + kOutputSuffix[type]);
            zep.Enter(InputPath(L"in\\" + std::wstring(input.name)), output, type);
            const bool pictures = firstOfType[type];
            firstOfType[type] = false;
            if (type < 3) {
                EXPECT_TRUE(ConvertAnswering(zep, type, input.pcmFormat, output, pictures));
                EXPECT_EQ(output, zep.Text(IDC_OUTPUT_PATH));
                continue;
            }
            // Wine's Windows Media writer offers no profiles: the job ends with its number.
            zep.Press(IDC_CONVERT);
            EXPECT_TRUE(
                zep.ConfirmSettings(IDC_WMA_SOURCE, pictures ? Picture(L"wma-settings") : L""));
            ZepUser::Box box = zep.AnswerBox(20000, pictures ? Picture(L"error") : L"");
            EXPECT_EQ(L"Error No.3001", box.caption);
            EXPECT_EQ(0u, box.text.find(L"Error No.3001\n\n"));
            EXPECT_TRUE(zep.WaitForJobEnd(output));
        }
    }
    EXPECT_EQ(0, zep.Close());
}

TEST_F(UserJourney, VolumeHalfAndDoubleReachTheOutput) {
    ZepUser zep(InstallFolder(L"full"));
    ASSERT_TRUE(zep.Started());
    // The settings dialogs on the way, pictured once.
    zep.Press(IDC_SETTING);
    HWND setting = zep.WaitForDialogWith(IDC_SETTING_VOLUME);
    ASSERT_NE(nullptr, setting);
    SaveScreenshot(setting, Picture(L"setting"));
    Click(setting, IDC_SETTING_VOLUME);
    HWND volume =
        zep.WaitForDialog([](HWND w) { return GetDlgItem(w, IDC_VOLUME_LABEL) != nullptr; });
    ASSERT_NE(nullptr, volume);
    SaveScreenshot(volume, Picture(L"volume"));
    Click(volume, IDOK); // it has no Cancel
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(volume); }));
    Click(setting, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(setting); }));

    for (int percent : {50, 200}) {
        ASSERT_TRUE(zep.SetVolume(percent));
        const std::wstring output = OutputPath(L"volume-" + std::to_wstring(percent) + L".wav");
        zep.Enter(InputPath(L"level.wav"), output, 0);
        EXPECT_TRUE(ConvertAnswering(zep, 0, L"44100 Hz; 16 bits; Stereo", output, false))
            << percent;
    }
    EXPECT_EQ(0, zep.Close());
}

namespace {

HWND FindJotter() {
    return WaitForWindow(
        [](HWND w) {
            return ControlText(w).rfind(L"Jotter", 0) == 0 && GetDlgItem(w, IDC_JOTTER_VIEW);
        },
        0);
}

// The folder chooser of the batch dialog, pictured and left with Cancel.
void PictureFolderChooser(ZepUser& zep, HWND batch) {
    Click(batch, IDC_BAT_BROWSE);
    HWND chooser = zep.WaitForDialog([&](HWND w) { return GetWindow(w, GW_OWNER) == batch; });
    ASSERT_NE(nullptr, chooser);
    SaveScreenshot(chooser, Picture(L"folder-chooser"));
    Click(chooser, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }));
}

} // namespace

// Two files at a time, each damaged file's three lines arrive together.
TEST_F(UserJourney, ABatchOfTenMixedFilesLogsEachDamagedOneToJotter) {
    if (HWND left = FindJotter())
        PostMessageW(left, WM_CLOSE, 0, 0);
    const std::wstring folder = OutputPath(L"batch10");
    ASSERT_TRUE(CopyFolder(InputPath(L"batch10"), folder));
    RememberBatchFolder(folder);
    ZepUser zep(InstallFolder(L"full"));
    ASSERT_TRUE(zep.Started());
    SelectEntry(zep.Main(), IDC_OUTPUT_FORMAT, 2);
    HWND batch = zep.OpenBatch();
    ASSERT_NE(nullptr, batch);
    SaveScreenshot(batch, Picture(L"batch"));
    PictureFolderChooser(zep, batch);
    ASSERT_EQ(folder, ItemText(batch, IDC_BAT_FOLDER));
    RememberBatchJobs(2);
    // The settings are asked once; the damaged files ask nothing.
    EXPECT_TRUE(zep.RunBatch(
        batch, [&] { return zep.ConfirmSettings(IDC_GOGO_MODE); }, 180000));
    EXPECT_FALSE(zep.WaitForDialog([&](HWND w) { return w != batch; }, 0))
        << "a dialog interrupted the batch";

    HWND jotter = FindJotter();
    ASSERT_NE(nullptr, jotter) << "ZEP did not start Jotter";
    SaveScreenshot(jotter, Picture(L"jotter"));
    const std::wstring log = ItemText(jotter, IDC_JOTTER_VIEW);
    std::wistringstream lines(log);
    std::set<std::wstring> logged;
    for (std::wstring path, error, blank; std::getline(lines, path);) {
        std::getline(lines, error);
        EXPECT_EQ(L"Error No.0915 - ", error.substr(0, 16)) << log;
        EXPECT_TRUE(std::getline(lines, blank) && blank == L"\r") << log;
        logged.insert(path);
    }
    EXPECT_EQ((std::set<std::wstring>{folder + L"\\04-broken.wav\r", folder + L"\\07-broken.wav\r"}),
              logged);
    PostMessageW(jotter, WM_CLOSE, 0, 0);

    PostMessageW(batch, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(batch); }));
    EXPECT_EQ(0, zep.Close());
}

TEST_F(UserJourney, TheCaptionsAndTheAboutBoxSpeakTheSystemLanguage) {
    ZepUser zep(InstallFolder(L"full"));
    ASSERT_TRUE(zep.Started());
    EXPECT_EQ(Language() == L"ja" ? L"変換(&C)" : L"Conversion(&C)", zep.Text(IDC_CONVERT));
    PostMessageW(zep.Main(), WM_KEYDOWN, VK_F10, 0);
    HWND about = zep.WaitForDialogWith(IDC_ABOUT_VERSION);
    ASSERT_NE(nullptr, about);
    SaveScreenshot(about, Picture(L"about"));
    EXPECT_EQ(L"ZEP Version 1.10", ItemText(about, IDC_ABOUT_VERSION));
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
    EXPECT_EQ(0, zep.Close());
}

namespace {

// Every file below folder, as paths relative to it, sorted.
std::vector<std::wstring> TreeFiles(const std::wstring& folder, const std::wstring& below = {}) {
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder + L"\\" + below + L"*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        const std::wstring name = below + found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(name);
        else if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0)
            for (const std::wstring& inner : TreeFiles(folder, name + L"\\"))
                files.push_back(inner);
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    std::sort(files.begin(), files.end());
    return files;
}

// ZEPc of the installation, run to its end; its exit code.
DWORD RunZepc(const std::wstring& arguments) {
    std::wstring command = L"\"" + InstallFolder(L"full") + L"\\ZEPc.exe\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        return 0xFFFFFFFF;
    DWORD code = 0xFFFFFFFF;
    if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

} // namespace

// The batch dialog's tree, output folder and pattern name a library as
// ZEPc names it, with the same bytes; the end shows the counts.
TEST_F(UserJourney, ALibraryThroughTheBatchDialogComesOutAsZepcMakesIt) {
    const std::wstring library = InputPath(L"library"), pattern = L"<artist>\\<album>\\<track> <title>";
    const std::wstring dialogOut = OutputPath(L"library-dialog"), zepcOut = OutputPath(L"library-zepc");
    RememberBatchFolder(library);
    ZepUser zep(InstallFolder(L"full"));
    ASSERT_TRUE(zep.Started());
    SelectEntry(zep.Main(), IDC_OUTPUT_FORMAT, 2);
    HWND batch = zep.OpenBatch();
    ASSERT_NE(nullptr, batch);
    SetCheck(batch, IDC_BAT_SUBFOLDERS, true);
    SetItemText(batch, IDC_BAT_OUTPUT, dialogOut);
    SetItemText(batch, IDC_BAT_PATTERN, pattern);
    SaveScreenshot(batch, Picture(L"batch-library"));
    EXPECT_TRUE(zep.RunBatch(
        batch, [&] { return zep.ConfirmSettings(IDC_GOGO_MODE); }, 120000));
    EXPECT_EQ(Language() == L"ja" ? L"変換 4、失敗 0、対象外 6、スキップ 0"
                                  : L"4 converted, 0 failed, 6 passed over, 0 skipped",
              ItemText(batch, IDC_STATUS));
    PostMessageW(batch, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(batch); }));
    EXPECT_EQ(0, zep.Close());

    ASSERT_EQ(0u, RunZepc(L"\"" + library + L"\" -f mp3 -r -q -o \"" + zepcOut + L"\" --name \"" +
                          pattern + L"\""));
    const std::vector<std::wstring> made = TreeFiles(dialogOut);
    EXPECT_EQ((std::vector<std::wstring>{L"Alpha\\First\\01 Song 1.mp3", L"Alpha\\First\\02 Song 2.mp3",
                                         L"Beta\\Second\\01 Song 1.mp3", L"Beta\\Second\\02 Song 2.mp3"}),
              made);
    ASSERT_EQ(made, TreeFiles(zepcOut));
    for (const std::wstring& name : made)
        EXPECT_TRUE(FileText(dialogOut + L"\\" + name) == FileText(zepcOut + L"\\" + name)) << name;
}

// Every program and library of an installation carries the project's version.
TEST_F(UserJourney, EveryFileCarriesTheProjectsVersion) {
    for (const wchar_t* name : {L"ZEP.exe", L"ZEPc.exe", L"gogo.dll", L"Res.dll", L"Jotter.exe"}) {
        const std::wstring path = InstallFolder(L"full") + L"\\" + name;
        DWORD ignored = 0;
        std::vector<BYTE> block(GetFileVersionInfoSizeW(path.c_str(), &ignored));
        VS_FIXEDFILEINFO* fixed = nullptr;
        wchar_t* product = nullptr;
        UINT size = 0;
        ASSERT_TRUE(!block.empty() && GetFileVersionInfoW(path.c_str(), 0, block.size(), block.data()) &&
                    VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) &&
                    VerQueryValueW(block.data(), L"\\StringFileInfo\\000004B0\\ProductVersion",
                                   reinterpret_cast<void**>(&product), &size))
            << name;
        EXPECT_EQ(static_cast<DWORD>(MAKELONG(ZEP_VERSION_MINOR, ZEP_VERSION_MAJOR)), fixed->dwFileVersionMS) << name;
        EXPECT_EQ(static_cast<DWORD>(MAKELONG(0, ZEP_VERSION_PATCH)), fixed->dwFileVersionLS) << name;
        EXPECT_EQ(std::wstring(ZEP_VERSION_WIDE), product) << name;
    }
}

// The installation's ZEP converts as a user converts: the packages check
// runs this case on the installer's installation.
TEST_F(UserJourney, AWavToMp3AndAFlacToFlac) {
    ZepUser zep(InstallFolder(L"full"));
    ASSERT_TRUE(zep.Started());
    const struct {
        const wchar_t *input, *output;
        int type, question;
    } jobs[] = {{L"in\\tone16.wav", L"installed.mp3", 2, IDC_GOGO_MODE},
                {L"in\\toneflac.flac", L"installed.flac", 4, IDC_FLAC_LEVEL}};
    for (const auto& job : jobs) {
        const std::wstring output = OutputPath(job.output);
        DeleteFileW(output.c_str());
        zep.Enter(InputPath(job.input), output, job.type);
        zep.Press(IDC_CONVERT);
        EXPECT_TRUE(zep.ConfirmSettings(job.question)) << job.output;
        EXPECT_TRUE(zep.WaitForJobEnd(output) && zep.Text(IDC_STATUS) == L"100 %") << job.output;
        EXPECT_TRUE(FileExists(output)) << job.output;
    }
    EXPECT_EQ(0, zep.Close());
}

#pragma once
#include <windows.h>

#include <functional>
#include <string>

// ZEP.exe as a user works it: started from an installation folder and
// driven from this process only through its windows, as typing, choosing
// and clicking would. Every wait is bounded, so a program that hangs fails
// the test instead of stopping the run.
class ZepUser {
  public:
    explicit ZepUser(const std::wstring& installFolder);
    // Closes the program if it still runs; one that does not end is ended by force.
    ~ZepUser();
    ZepUser(const ZepUser&) = delete;
    ZepUser& operator=(const ZepUser&) = delete;

    bool Started() const { return main != nullptr; }
    HWND Main() const { return main; }
    DWORD ProcessId() const { return processId; }

    // The main dialog's fields as typed and chosen.
    void Enter(const std::wstring& input, const std::wstring& output, int outputType);
    std::wstring Text(int id) const;
    bool Enabled(int id) const;
    void Press(int id) const;

    // A shown dialog of this program, other than the main dialog, that match accepts.
    HWND WaitForDialog(const std::function<bool(HWND)>& match, DWORD timeoutMs = 20000) const;
    HWND WaitForDialogWith(int controlId, DWORD timeoutMs = 20000) const;
    bool AnyDialogShown() const;

    // The MP3 or WMA settings dialog a conversion opens, closed with OK.
    bool ConfirmSettings(int dialogControlId, const std::wstring& screenshot = std::wstring());
    // The system's format chooser: the tag and attributes whose texts begin
    // with the prefixes, then OK.
    bool ChooseFormat(const std::wstring& tag, const std::wstring& attributes,
                      const std::wstring& screenshot = std::wstring());

    struct Box {
        std::wstring caption, text;
        bool shown = false;
    };
    // The next message box, read and closed with OK.
    Box AnswerBox(DWORD timeoutMs = 20000, const std::wstring& screenshot = std::wstring());

    // The conversion has ended: Conversion enabled, Stop disabled, no dialog
    // shown and, when named, the output file closed by its writer.
    bool WaitForJobEnd(const std::wstring& output = std::wstring(), DWORD timeoutMs = 120000);
    // Through Setting and Volume, as a user sets the volume.
    bool SetVolume(int percent);

    // The batch dialog, opened through the menu.
    HWND OpenBatch() const;
    // Batch Start pressed; answer is called to answer what the first file asks.
    // True when every file was handled and the dialog is idle again.
    bool RunBatch(HWND batch, const std::function<bool()>& answer, DWORD timeoutMs);

    // Closes the main window as its close button does; the exit code, or -1
    // when the program did not end in time.
    long Close(DWORD timeoutMs = 30000);
    long WaitForExit(DWORD timeoutMs) const;

  private:
    HANDLE process = nullptr;
    DWORD processId = 0;
    HWND main = nullptr;
};

// A file that can be opened with no sharing: nobody has it open.
bool FileClosed(const std::wstring& path);
bool FileExists(const std::wstring& path);

#pragma once
#include <functional>
#include <string>
#include <vector>
#include <windows.h>

// A batch of the batch dialog, handed to the main dialog by the registered
// messages "WM_BATSTART_FILES" (the whole batch, several files at a time)
// and "WM_BATSTART_AUDIO" (one of its files). A registered message has the
// same number in every program, so anybody's broadcast can carry it: the
// main dialog takes only what a live batch of this process carries.
class CBatchFiles {
  public:
    // finished: tells of every file converted to its end; stopped: whether
    // the batch dialog's Stop was pressed. Both called on the thread of the
    // dialogs. Registered as live until destroyed.
    CBatchFiles(const std::vector<std::wstring>& files, std::function<void(int finished)> finished,
                std::function<bool()> stopped);
    ~CBatchFiles();
    CBatchFiles(const CBatchFiles&) = delete;
    CBatchFiles& operator=(const CBatchFiles&) = delete;

    // The live batch a "WM_BATSTART_FILES" carries; null for anything else.
    static const CBatchFiles* FromMessage(WPARAM carried);
    // The live batch one of whose files a "WM_BATSTART_AUDIO" carries; null
    // for anything else.
    static const CBatchFiles* OfFileMessage(WPARAM carried);

    const std::vector<std::wstring>& files;
    const std::function<void(int finished)> filesFinished;
    const std::function<bool()> stopped;
};

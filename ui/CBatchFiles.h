#pragma once
#include "engine/CBatchPlan.h"
#include <functional>
#include <memory>
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
    // files: walked from folder with choices. finished: tells of every
    // file done with; stopped: whether the batch dialog's Stop was pressed.
    // Both called on the thread of the dialogs. Registered as live until
    // destroyed.
    CBatchFiles(const std::vector<std::wstring>& files, const std::wstring& folder,
                const CBatchChoices& choices, std::function<void(int finished)> finished,
                std::function<bool()> stopped);
    ~CBatchFiles();
    CBatchFiles(const CBatchFiles&) = delete;
    CBatchFiles& operator=(const CBatchFiles&) = delete;

    // The live batch a "WM_BATSTART_FILES" carries; null for anything else.
    static CBatchFiles* FromMessage(WPARAM carried);
    // The live batch one of whose files a "WM_BATSTART_AUDIO" carries, and
    // the file's place in it; null for anything else.
    static CBatchFiles* OfFileMessage(WPARAM carried, size_t& at);

    // The plan of the files with the main dialog's output type, made the
    // first time it is asked for.
    const CBatchPlan& PlanFor(int type);

    const std::vector<std::wstring>& files;
    const std::wstring folder;
    const CBatchChoices choices;
    // Kept by the main dialog as the files end.
    CBatchCounts counts;
    const std::function<void(int finished)> filesFinished;
    const std::function<bool()> stopped;

  private:
    std::unique_ptr<CBatchPlan> plan;
};

#pragma once
#include "ui/CBaseApp.h"

// ZEP's application object: it runs the main dialog and ends when the
// dialog closes. Help and About are its commands.
class CZEPApp : public CBaseApp {
  public:
    bool OnCommand(UINT id) override;

  protected:
    // Runs the main dialog and returns false, so the process ends with it.
    bool InitInstance() override;

  private:
    void OnHelp();
    void OnAppAbout();
};

// Registered window messages, registered during static initialisation:
// the batch dialog hands each file to the main dialog with the first, or
// the whole batch at once with the second (a CBatchFiles); the last is
// registered for the notification-area icon and handled nowhere.
extern const UINT WM_BATSTART_AUDIO;
extern const UINT WM_BATSTART_FILES;
extern const UINT WM_TRAYNOTIFY;

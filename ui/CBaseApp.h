#pragma once
#include "framework/CApplication.h"
#include <string>

// The start-up every ZEP program shares: common controls, an accelerator
// table for the main window, and the registry branch named by
// "Setting.ini". Accelerators keep working while dialogs, menus and
// message boxes run their own loops.
class CBaseApp : public CApplication {
  public:
    // Returns 0.
    virtual int InitBase(UINT acceleratorId);
    // Opens a file of the executable's folder, whatever the current folder.
    virtual void OpenHelpFile(const std::wstring& name);

  protected:
    bool ProcessMessageFilter(int code, MSG* message) override;

  private:
    HACCEL accelerators = nullptr;
};

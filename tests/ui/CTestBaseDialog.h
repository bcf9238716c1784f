#pragma once
#include "framework/CDataExchange.h"
#include "ui/CBaseDialog.h"
#include <deque>
#include <functional>
#include <vector>

// A base dialog on the tests' template that keeps what happened to it. Its
// steps run on the dialog's own thread: the first once the dialog is up,
// each further one after the messages posted before it.
class CTestBaseDialog : public CBaseDialog {
  public:
    using Step = std::function<void(CTestBaseDialog&)>;
    CTestBaseDialog(std::deque<Step> steps, HWND owner = nullptr, int systemMenu = 1);

    void Next();
    void SetIdle(int value) { idle = value; }
    HWND Item(int id) const { return GetDlgItem(id); }

    std::wstring path;
    std::vector<std::wstring> dropped;
    int initDone = 0, closes = 0, moveLoops = 0, okCommands = 0, cancelCommands = 0;
    // The menu tracked by the last menu loop; the loop is ended unless menuAction says otherwise.
    HMENU trackedMenu = nullptr;
    std::function<void(HWND menuWindow)> menuAction;

  protected:
    void OnDropFile(const std::wstring& file) override { dropped.push_back(file); }
    LRESULT OnInitDone() override;
    void DoDataExchange(CDataExchange& exchange) override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

  private:
    void OnMenuIdle(HWND menuWindow);

    std::deque<Step> steps;
    bool menuSeen = false;
};

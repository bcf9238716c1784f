#pragma once
#include "framework/CComboBox.h"
#include "framework/CDataExchange.h"
#include "framework/CDialog.h"
#include "framework/CProgressCtrl.h"
#include <functional>
#include <string>
#include <vector>

// A dialog with one control of every kind the data exchange knows. Its
// script runs on the dialog's own thread once the dialog is up.
class CFormDialog : public CDialog {
  public:
    using Script = std::function<void(CFormDialog&)>;
    explicit CFormDialog(Script script);

    std::wstring text;
    int number = 0;
    int check = 0;
    int choice = -1;
    CComboBox list;
    CProgressCtrl progress;
    // The number and check fields each time OK was handled.
    std::vector<std::pair<int, int>> afterOK;
    // Every message the dialog procedure saw, in order.
    std::vector<UINT> messages;
    // Commands whose handler throws.
    WORD throwingCommand = 0;

    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void SetControlText(int id, const std::wstring& value);

  protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    void OnOK() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

  private:
    Script script;
};

// Runs after the messages posted before it, i.e. once earlier steps are handled.
constexpr UINT kScriptStep = WM_APP + 100;

#pragma once
#include "framework/CComboBox.h"
#include "settings/CAudioInfo.h"
#include "ui/CBaseDialog.h"

// The Opus settings dialog, run from the resource library's template: the
// bit rate and its mode (VBR, constrained VBR, CBR). It works on its own
// copy of the settings record, which saves itself when the dialog is
// destroyed.
class CSetOpus : public CBaseDialog {
  public:
    explicit CSetOpus(HWND parent);

    CAudioInfo settings;

  protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    // Takes the controls into the record; a list without a selection leaves its field as it was.
    void OnOK() override;
    void OnCancel() override { EndDialog(IDCANCEL); }

  private:
    void SetTexts();
    void FillAndSelect();

    CComboBox rateList;
    CComboBox modeList;
};

#pragma once
#include "framework/CComboBox.h"
#include "settings/CAudioInfo.h"
#include "ui/CBaseDialog.h"

// The FLAC settings dialog, run from the resource library's template: the
// compression level, whether the encoder verifies what it writes, and the
// depth and rate of the output (the source's, or one asked for). It
// works on its own copy of the settings record, which saves itself when the
// dialog is destroyed.
class CSetFLAC : public CBaseDialog {
  public:
    explicit CSetFLAC(HWND parent);

    CAudioInfo settings;

  protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    // Takes the controls into the record; a level outside the list stays as it was.
    void OnOK() override;
    void OnCancel() override { EndDialog(IDCANCEL); }

  private:
    void SetTexts();
    void FillAndSelect();

    CComboBox levelList, bitsList, rateList;
};

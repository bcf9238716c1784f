#pragma once
#include "framework/CComboBox.h"
#include "settings/CAudioInfo.h"
#include "ui/CBaseDialog.h"

// The MP3 settings dialog, run from the resource library's template: channel
// mode, constant or variable bit rate and the VBR quality. It works on its
// own copy of the settings record, which saves itself when the dialog is
// destroyed.
class CSetGOGO : public CBaseDialog {
  public:
    explicit CSetGOGO(HWND parent);

    CAudioInfo settings;

  protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    // Takes the controls into the record; a list without a selection leaves its field as it was.
    void OnOK() override;
    void OnCancel() override { EndDialog(IDCANCEL); }

  private:
    void SetTexts();
    void FillLists();
    void SelectFromSettings();
    // With VBR checked the VBR controls are enabled and the constant bit rate is not.
    void ApplyVbrRule();

    CComboBox modeList;
    CComboBox cbrList;
    CComboBox vbrList;
    CComboBox qualityList;
};

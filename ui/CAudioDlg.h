#pragma once
#include "settings/CAudioInfo.h"
#include "ui/CBaseDialog.h"

// The "Setting" dialog of the program's own resources: it opens the MP3,
// WMA, FLAC, Opus and volume dialogs on its own copy of the settings
// record, and says whether conversions copy the input's tags ("Copy
// tags"). The copy goes back to its opener only when this dialog ends with
// OK, but the store receives it right after each volume edit and again
// when the dialog is destroyed.
class CAudioDlg : public CBaseDialog {
  public:
    explicit CAudioDlg(HWND owner);

    CAudioInfo settings;

  protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void OnOK() override {
        UpdateData(true);
        EndDialog(IDOK);
    }
    void OnCancel() override { EndDialog(IDCANCEL); }

  private:
    void OnMp3Settings();
    void OnWmaSettings();
    void OnFlacSettings();
    void OnOpusSettings();
    void OnVolume();
};

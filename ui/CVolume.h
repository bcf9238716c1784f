#pragma once
#include "ui/CBaseDialog.h"

// The volume dialog, run from the resource library's template: one edit box
// with the volume in percent. Any integer is taken, negative ones included;
// other text is refused and the dialog stays open. Escape does nothing, and
// the close button keeps a typed value.
class CVolume : public CBaseDialog {
  public:
    explicit CVolume(HWND parent);

    int volume = 100;

  protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    void OnOK() override { CDialog::OnOK(); }
};

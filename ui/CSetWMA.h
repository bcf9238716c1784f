#pragma once
#include "framework/CComboBox.h"
#include "framework/CImageList.h"
#include "settings/CAudioInfo.h"
#include "ui/CBaseDialog.h"

// The WMA settings dialog, run from the resource library's template: the
// profile source (a version 4.0 or 7.0 system profile, or a ".PRX" profile
// file), the system profile of each version, the file's path and two-pass
// encoding. It works on its own copy of the settings record, which saves
// itself when the dialog is destroyed.
class CSetWMA : public CBaseDialog {
  public:
    explicit CSetWMA(HWND parent);

    CAudioInfo settings;

    // The file becomes the profile path.
    void OnDropFile(const std::wstring& path) override;

  protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    // Takes the controls into the record; a list without a selection leaves its field as it was.
    void OnOK() override;
    void OnCancel() override { EndDialog(IDCANCEL); }
    // How many system profiles the Windows Media profile manager knows for a
    // format version (0x40000, 0x70000); 0 when it cannot tell.
    virtual int SystemProfileCount(DWORD version) const;

  private:
    void SetTexts();
    void FillProfileLists();
    void EmptyListsWithoutProfiles();
    void FillSourceList();
    // Each source enables its own controls only.
    void ApplySourceRule();
    void ChooseProfileFile();

    CComboBox v4List;
    CComboBox v7List;
    CComboBox sourceList;
    CImageList sourceImages;
    std::wstring profilePath;
};

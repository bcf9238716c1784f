#pragma once
#include <windows.h>

#include <string>

// One exchange between a dialog's controls and its fields, in one direction.
// Once a control's content is refused, the remaining exchanges are skipped
// and the fields keep what they held. Controls that do not exist are skipped.
class CDataExchange {
  public:
    CDataExchange(HWND dialog, bool saveAndValidate);

    // True when reading the controls into the fields.
    bool IsSaving() const { return saving; }
    bool Failed() const { return failed; }

    void Text(int id, std::wstring& value);
    // A decimal integer within the range of int, blanks around it allowed;
    // anything else is refused with a message and the focus on the control.
    void Text(int id, int& value);
    // The check state: 0 unchecked, 1 checked, 2 indeterminate.
    void Check(int id, int& value);
    // The selected index of a drop-down list; -1 for none.
    void ComboIndex(int id, int& value);
    // Binds a helper object (combo box, progress bar) to its control once.
    template <class Control> void Bind(int id, Control& control) {
        if (!failed && !control.GetHwnd())
            control.Attach(Item(id));
    }

  private:
    HWND Item(int id) const;
    void Refuse(HWND control, const wchar_t* prompt);

    HWND dialog;
    bool saving;
    bool failed = false;
};

#include "EditSettings.h"
#include "resdll/Res.h"
#include "ui/CResDllHandle.h"
#include "ui/CSetFLAC.h"
#include "ui/CSetGOGO.h"
#include "ui/CSetOpus.h"
#include "ui/CSetWMA.h"
#include "ui/CVolume.h"

namespace {

// The dialog's record goes back to the caller only on OK.
template <class Dialog> int EditRecord(CAudioInfo& settings, HWND parent, UINT templateId) {
    Dialog dialog(parent);
    dialog.settings.CopyFrom(settings);
    if (ResDllHandle.RunDialog(dialog, templateId) != IDOK)
        return -2;
    settings.CopyFrom(dialog.settings);
    return 0;
}

} // namespace

int EditMp3Settings(CAudioInfo& settings, HWND parent) {
    return EditRecord<CSetGOGO>(settings, parent, IDD_SET_GOGO);
}

int EditWmaSettings(CAudioInfo& settings, HWND parent) {
    return EditRecord<CSetWMA>(settings, parent, IDD_SET_WMA);
}

int EditFlacSettings(CAudioInfo& settings, HWND parent) {
    return EditRecord<CSetFLAC>(settings, parent, IDD_SET_FLAC);
}

int EditOpusSettings(CAudioInfo& settings, HWND parent) {
    return EditRecord<CSetOpus>(settings, parent, IDD_SET_OPUS);
}

int EditVolume(int volume, HWND parent) {
    CVolume dialog(parent);
    dialog.volume = volume;
    ResDllHandle.RunDialog(dialog, IDD_VOLUME);
    return dialog.volume;
}

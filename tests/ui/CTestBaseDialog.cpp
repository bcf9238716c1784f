#include "CTestBaseDialog.h"
#include "UiTestIds.h"

namespace {

constexpr UINT kNextStep = WM_APP + 200;

// Ends a menu that the test's keys did not end, so a failing test cannot hang.
void CALLBACK EndMenuLate(HWND window, UINT, UINT_PTR timer, DWORD) {
    KillTimer(window, timer);
    EndMenu();
}

} // namespace

CTestBaseDialog::CTestBaseDialog(std::deque<Step> steps, HWND owner, int systemMenu)
    : CBaseDialog(IDD_TEST_BASE, owner, systemMenu, 0), steps(std::move(steps)) {}

void CTestBaseDialog::Next() { PostMessageW(GetSafeHwnd(), kNextStep, 0, 0); }

LRESULT CTestBaseDialog::OnInitDone() {
    ++initDone;
    Next();
    return 0;
}

void CTestBaseDialog::DoDataExchange(CDataExchange& exchange) {
    exchange.Text(IDC_BASE_PATH, path);
}

void CTestBaseDialog::OnMenuIdle(HWND menuWindow) {
    if (menuSeen)
        return;
    menuSeen = true;
    trackedMenu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    if (!menuAction) {
        EndMenu();
        return;
    }
    SetTimer(GetSafeHwnd(), 1, 5000, EndMenuLate);
    menuAction(menuWindow);
}

bool CTestBaseDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case kNextStep:
        if (!steps.empty()) {
            Step step = std::move(steps.front());
            steps.pop_front();
            step(*this);
        }
        return true;
    case WM_CLOSE:
        ++closes;
        break;
    case WM_ENTERSIZEMOVE:
        ++moveLoops;
        break;
    case WM_ENTERMENULOOP:
        menuSeen = false;
        break;
    case WM_ENTERIDLE:
        if (wParam == MSGF_MENU)
            OnMenuIdle(reinterpret_cast<HWND>(lParam));
        break;
    case WM_COMMAND:
        okCommands += LOWORD(wParam) == IDOK;
        cancelCommands += LOWORD(wParam) == IDCANCEL;
        break;
    }
    return CBaseDialog::HandleMessage(message, wParam, lParam, result);
}

#include "ui/about_dialog.h"

#include "ui/dialog_close.h"
#include "ui/resources/resource.h"

namespace {

constexpr const char* VersionLine = "Version 1.0 - May 25 2003";

void OnInitDialog(HWND dialog) { SetDlgItemTextA(dialog, IDC_VERSION_LINE, VersionLine); }

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            break;
        case WM_COMMAND:
            CloseOnOk(dialog, wParam);
            break;
        default:
            break;
    }
    return 0;
}

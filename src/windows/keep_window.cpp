#include "windows/keep_window.h"

#include <string>

#include "settings/keep_schedule.h"
#include "settings/settings_record.h"
#include "windows/keep_days_choice.h"

TfrmWPSetTime* frmWPSetTime = nullptr;

namespace {

constexpr int kClientWidth = 211;
constexpr int kClientHeight = 101;

}  // namespace

void TfrmWPSetTime::Create(HWND owner) {
    CreateDialogForm(FormDescription("TfrmWPSetTime")
                         .Caption("Keep this murlo")
                         .Style(WS_POPUP | WS_CAPTION | WS_SYSMENU)
                         .Centred()
                         .ClientSize(kClientWidth, kClientHeight),
                     owner);
}

void TfrmWPSetTime::CreateControls() {
    const COLORREF text = ::GetSysColor(COLOR_3DDKSHADOW);
    Label1.Create(hwnd(), 8, 16, "Keep this murlo for", Font(), text);
    cmbDays.Create(hwnd(), 125, 13, 44, 7);
    cmbDays.SetFont(Font());
    cmbDays.SetColors(text, ::GetSysColor(COLOR_WINDOW));
    cmbDays.SetAccessible(AccessibleList("Keep this murlo for (days)"));
    for (int days = 1; days <= 7; ++days) {
        cmbDays.AddItem(std::to_string(days));
    }
    cmbDays.SetItemIndex(0);
    Label2.Create(hwnd(), 174, 16, "days.", Font(), text);
    imgSet.Create(hwnd(), 149, 47, 65, 50);
    imgSet.SetCenter(true);
    imgSet.SetTransparent(true);
    imgSet.OnMouseMove = [this](POINT) { imgSetMouseMove(); };
    imgSet.OnClick = [this] { imgSetClick(); };
    imgSet.SetAccessible(AccessiblePushButton("Set", [this] { imgSetClick(); }));
    imgSet.SetTabStop();
    FocusOnActivate(cmbDays.hwnd());
}

void TfrmWPSetTime::FormShow() {
    cmbDays.SetItemIndex(
        KeepDaysSelection(recSETTINGS.keepdayscount, cmbDays.ItemIndex(), cmbDays.Count()));
}

void TfrmWPSetTime::imgSetClick() {
    const int selected = cmbDays.ItemIndex();
    if (selected < 0) {
        return;  // a count stored from outside that no entry shows: nothing to keep
    }
    SetKeepDays(cmbDays.ItemText(selected));
    Close();
}

void TfrmWPSetTime::imgSetMouseMove() {
    imgSet.BeginHover();
}

void TfrmWPSetTime::FormMouseMove() {
    imgSet.EndHover();
}

LRESULT TfrmWPSetTime::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE) {
        FormMouseMove();
    }
    return DialogForm::HandleMessage(message, wParam, lParam);
}

void TfrmWPSetTime::SetButtonPictures(const Picture& normal, const Picture& hover) {
    imgSet.SetButtonPictures(normal, hover);
}

#include "windows/settings_window.h"

#include <string>

#include "settings/settings_record.h"
#include "settings/settings_store.h"
#include "settings/text_convert.h"
#include "ui/layout_rules.h"
#include "ui/prompt.h"
#include "ui/win_handles.h"
#include "windows/proxy_entry.h"

TfrmSettings* frmSettings = nullptr;

namespace {

constexpr int kClientWidth = 432;
constexpr int kClientHeight = 381;
constexpr int kProxyPage = 1;

// Puts the password in memory back when it leaves, on every path of OK: with automatic sign-in
// off the save stores none, but the session goes on with it.
class PasswordKeptInMemory {
  public:
    PasswordKeptInMemory() : password_(recSETTINGS.password) {}
    PasswordKeptInMemory(const PasswordKeptInMemory&) = delete;
    PasswordKeptInMemory& operator=(const PasswordKeptInMemory&) = delete;
    ~PasswordKeptInMemory() { recSETTINGS.password = password_; }

  private:
    std::string password_;
};

std::string Trimmed(const Edit& edit) {
    return std::string(TrimBlanks(edit.Text()));
}

}  // namespace

void TfrmSettings::Create(HWND owner) {
    CreateDialogForm(FormDescription("TfrmSettings")
                         .Caption("Settings")
                         .Style(WS_POPUP | WS_CAPTION | WS_SYSMENU)
                         .Centred()
                         .ClientSize(kClientWidth, kClientHeight),
                     owner);
}

void TfrmSettings::CreateControls() {
    tabber.Create(hwnd(), 8, 8, 409, 321, /*ownerDraw=*/true);
    tabber.SetFont(Font());
    tabber.OnDrawTab = [this](int index, const RECT& rect, HDC dc) {
        tabberDrawTab(index, rect, dc);
    };
    CreatePreferencesPage(tabber.AddPage("Preferences").hwnd());
    CreateProxyPage(tabber.AddPage("Proxy settings").hwnd());
    tabber.SetActivePageIndex(kProxyPage);
    SetPageControl(tabber);
    tabber.SetAccessible(AccessiblePageTabs("Settings pages"));

    cmdOK.Create(hwnd(), 248, 344, 81, 25, "OK");
    cmdOK.OnClick = [this] { cmdOKClick(); };
    cmdCancel.Create(hwnd(), 336, 344, 81, 25, "Cancel");
    cmdCancel.OnClick = [this] { Close(); };
    for (TButtonWithColor* button : {&cmdOK, &cmdCancel}) {
        button->SetFont(Font());
        button->SetColors(::GetSysColor(COLOR_3DDKSHADOW), CLR_INVALID);
        button->SetColor(RGB(255, 255, 255));
    }
}

void TfrmSettings::CreatePreferencesPage(HWND page) {
    const COLORREF text = ::GetSysColor(COLOR_3DDKSHADOW);
    Label1.Create(page, 8, 16, "Update your preferences", Font(), text);
    chkStartWithWindows.Create(page, 8, 48, 241, 25, "Start MURLOX when my computer starts.", true);
    chkAutologin.Create(
        page, 8, 74, 361, 25,
        "Remember my e-mail and password and sign in automatically when MURLOX starts.", true);
    for (CheckBox* box : {&chkStartWithWindows, &chkAutologin}) {
        box->SetFont(Font());
        box->SetColors(text, ::GetSysColor(COLOR_WINDOW));
    }
}

void TfrmSettings::CreateProxyPage(HWND page) {
    const COLORREF text = ::GetSysColor(COLOR_3DDKSHADOW);
    const COLORREF ground = ::GetSysColor(COLOR_WINDOW);
    Label2.Create(page, 8, 16, "Your internet connection is detected automatically.", Font(), text);
    Label3.Create(page, 8, 32, "Only change these settings if you have trouble connecting", Font(),
                  text);
    chkProxyUse.Create(page, 8, 64, 129, 17, "Use a proxy server");
    chkProxyUse.SetFont(Font());
    chkProxyUse.SetColors(text, ground);
    chkProxyUse.OnClick = [this] { UpdateProxyControls(chkProxyUse.Checked()); };
    lstProxyType.Create(page, 8, 88, 121, 3);
    lstProxyType.SetFont(Font());
    lstProxyType.SetColors(text, ground);
    lstProxyType.SetAccessible(AccessibleList("Proxy type"));
    for (const char* caption : kProxyTypeCaptions) {
        lstProxyType.AddItem(caption);
    }
    lstProxyType.SetItemIndex(0);
    lstProxyType.OnChange = [this] { UpdateProxyControls(chkProxyUse.Checked()); };

    struct Field {
        Label& label;
        int labelLeft, labelTop;
        const char* caption;
        Edit& edit;
        int editLeft, editTop;
        bool password;
    };
    const Field fields[] = {
        {Label4, 8, 120, "server:", txtProxyServer, 8, 135, false},
        {Label7, 200, 120, "port:", txtProxyPort, 200, 135, false},
        {Label5, 8, 168, "user id:", txtProxyUserName, 8, 182, false},
        {Label8, 200, 168, "password:", txtProxyPassword, 200, 183, true},
        {lblRealm, 8, 215, "realm:", txtProxyRealm, 8, 229, false},
    };
    for (const Field& field : fields) {
        field.label.Create(page, field.labelLeft, field.labelTop, field.caption, Font(), text);
        field.edit.Create(page, field.editLeft, field.editTop, 113, 19, field.password);
        field.edit.SetAccessible(AccessibleEdit(NameFromLabel(field.caption)));
        field.edit.SetFont(Font());
        field.edit.SetColors(text, ground);
        field.edit.SetEnabled(false);
    }
    lstProxyType.SetEnabled(false);
}

void TfrmSettings::ShowProxyPage() {
    EnsureControls();
    tabber.SetActivePageIndex(kProxyPage);
    Show();
}

void TfrmSettings::FormShow() {
    chkProxyUse.SetChecked(recSETTINGS.proxyuse);
    const int type = ProxyTypeIndex(recSETTINGS.proxytype);
    if (type >= 0) {
        lstProxyType.SetItemIndex(type);
    }
    txtProxyServer.SetText(recSETTINGS.proxyhost);
    txtProxyPort.SetText(std::to_string(recSETTINGS.proxyport));
    txtProxyUserName.SetText(recSETTINGS.proxyusername);
    txtProxyPassword.SetText(recSETTINGS.proxypassword);
    txtProxyRealm.SetText(recSETTINGS.proxyrealm);
    UpdateProxyControls(chkProxyUse.Checked());
    chkStartWithWindows.SetChecked(recSETTINGS.autostart);
    chkAutologin.SetChecked(recSETTINGS.autologin);
}

void TfrmSettings::UpdateProxyControls(bool proxyUsed) {
    lstProxyType.SetEnabled(proxyUsed);
    for (Edit* edit :
         {&txtProxyServer, &txtProxyPort, &txtProxyUserName, &txtProxyPassword, &txtProxyRealm}) {
        edit->SetEnabled(proxyUsed);
    }
    if (!ProxyRealmAvailable(lstProxyType.ItemIndex())) {
        txtProxyRealm.SetEnabled(false);
        txtProxyRealm.SetText("");
    }
}

void TfrmSettings::tabberDrawTab(int index, const RECT& rect, HDC dc) {
    if (index < 0 || index >= tabber.PageCount()) {
        return;
    }
    const std::string& caption = tabber.Page(index).Caption();
    ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_WINDOW));
    const SelectedObject font(dc, Font());
    SIZE size = {};
    ::GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    const int x = CenteredTabCaption(rect.left, rect.right - rect.left, size.cx);
    const int y = CenteredTabCaption(rect.top, rect.bottom - rect.top, size.cy);
    ::SetBkMode(dc, TRANSPARENT);
    // The colour of the form's font, which the page control takes.
    ::SetTextColor(dc, ::GetSysColor(COLOR_3DDKSHADOW));
    ::ExtTextOutA(dc, x, y, ETO_CLIPPED, &rect, caption.c_str(), static_cast<UINT>(caption.size()),
                  nullptr);
}

void TfrmSettings::cmdOKClick() {
    recSETTINGS.autostart = chkStartWithWindows.Checked();
    recSETTINGS.autologin = chkAutologin.Checked();
    const PasswordKeptInMemory keptPassword;
    if (!recSETTINGS.autologin) {
        recSETTINGS.password.clear();
    }
    if (chkProxyUse.Checked()) {
        if (!StoreProxyEntries()) {
            return;
        }
    } else {
        recSETTINGS.proxyuse = false;
    }
    // A failed write raises an error naming the value, and the window stays open.
    SaveSettings();
    Close();
}

bool TfrmSettings::StoreProxyEntries() {
    const std::string host = Trimmed(txtProxyServer);
    const std::string port = Trimmed(txtProxyPort);
    const std::string refusal = ProxyEntryMessage(host, port);
    if (!refusal.empty()) {
        ShowMessage(refusal);
        tabber.SetActivePageIndex(kProxyPage);
        return false;
    }
    recSETTINGS.proxyuse = true;
    recSETTINGS.proxytype = ProxyTypeName(lstProxyType.ItemIndex());
    recSETTINGS.proxyusername = Trimmed(txtProxyUserName);
    recSETTINGS.proxypassword = Trimmed(txtProxyPassword);
    recSETTINGS.proxyhost = host;
    recSETTINGS.proxyrealm = Trimmed(txtProxyRealm);
    recSETTINGS.proxyport = SafeStrToInt(port);
    lblRealm.SetEnabled(recSETTINGS.proxytype == "http");
    return true;
}

#pragma once
// The settings window: autostart and automatic sign-in on one page, the proxy server on the
// other. Each showing reloads the controls from the settings; only OK stores anything.

#include "components/color_button.h"
#include "components/label.h"
#include "ui/dialog_form.h"
#include "ui/native_controls.h"
#include "ui/tab_control.h"

class TfrmSettings : public DialogForm {
  public:
    void Create(HWND owner);

    // Shows the window, not modally, on its proxy page (the connection-failure window's link).
    void ShowProxyPage();

    TabControl& Tabs() { return CreatedControl(tabber); }
    CheckBox& StartWithWindows() { return CreatedControl(chkStartWithWindows); }
    CheckBox& ProxyUse() { return CreatedControl(chkProxyUse); }
    DropDownList& ProxyType() { return CreatedControl(lstProxyType); }
    Edit& ProxyServer() { return CreatedControl(txtProxyServer); }
    Edit& ProxyPort() { return CreatedControl(txtProxyPort); }
    Edit& ProxyPassword() { return CreatedControl(txtProxyPassword); }
    Edit& ProxyRealm() { return CreatedControl(txtProxyRealm); }
    Label& RealmLabel() { return CreatedControl(lblRealm); }
    TButtonWithColor& OkButton() { return CreatedControl(cmdOK); }
    TButtonWithColor& CancelButton() { return CreatedControl(cmdCancel); }

    void cmdOKClick();

  protected:
    void CreateControls() override;
    void FormShow() override;
    void OnEnter() override { cmdOKClick(); }

  private:
    void CreatePreferencesPage(HWND page);
    void CreateProxyPage(HWND page);
    void UpdateProxyControls(bool proxyUsed);
    void tabberDrawTab(int index, const RECT& rect, HDC dc);
    // Stores the proxy entries; false, with the message shown and the proxy page active, when
    // they are refused.
    bool StoreProxyEntries();

    TabControl tabber;
    TButtonWithColor cmdOK;
    TButtonWithColor cmdCancel;
    Label Label1;
    CheckBox chkStartWithWindows;
    CheckBox chkAutologin;
    Label Label2;
    Label Label3;
    CheckBox chkProxyUse;
    DropDownList lstProxyType;
    Label Label4;
    Edit txtProxyServer;
    Label Label7;
    Edit txtProxyPort;
    Label Label5;
    Edit txtProxyUserName;
    Label Label8;
    Edit txtProxyPassword;
    Label lblRealm;
    Edit txtProxyRealm;
};

// The one TfrmSettings, from its creation at start-up to the end.
extern TfrmSettings* frmSettings;

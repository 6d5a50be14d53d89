#include "support/wine_test_fixture.h"

#include <windows.h>

#include <cstdlib>

#include "app/forms.h"
#include "settings/settings_record.h"
#include "signin/connection_failure_window.h"
#include "signin/sign_in.h"

void ClientTest::SetUp() {
    service_ = StandInService(services().servicePort);
    service_.Reset();
    const std::string address = "127.0.0.1:" + std::to_string(services().servicePort);
    _putenv_s("MURLOX_SERVICE", address.c_str());
    recSETTINGS = SettingsRecord{};
    recSETTINGS.nickname = "demo@murlox.test";
    recSETTINGS.password = "demo";
    recSETTINGS.curdesktopid = "0";
    SignedIn = true;
    SignedOutByUser = false;
    ReportConnectionFailure = false;
    popop_ = std::make_unique<TfrmPopop>();
    popop_->Create(nullptr);
    frmPopop = popop_.get();
    answers_ = std::make_unique<PromptAnswerScope>(PromptAnswers{
        [this](const std::string& text, UINT) {
            messages.push_back(text);
            return IDOK;
        },
        [this](Window& window) {
            char className[256] = "";
            ::GetClassNameA(window.hwnd(), className, sizeof(className));
            modalWindows.push_back(className);
            // The download window is the client's own work, not a question to the user.
            return std::string(className) == "TfrmDownloader" ? window.RunModalLoop() : modalAnswer;
        }});
}

void ClientTest::TearDown() {
    answers_.reset();
    frmPopop = nullptr;
    popop_.reset();
    _putenv_s("MURLOX_SERVICE", "");
}

void ClientTest::UseProxy(const std::string& type, int port, const std::string& user,
                          const std::string& password) {
    recSETTINGS.proxyuse = true;
    recSETTINGS.proxytype = type;
    recSETTINGS.proxyhost = "127.0.0.1";
    recSETTINGS.proxyport = port;
    recSETTINGS.proxyusername = user;
    recSETTINGS.proxypassword = password;
}

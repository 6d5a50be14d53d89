// The news after a sign-in, against the stand-in service, shown in the main window's popups.

#include "service/news.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/resource_window.h"
#include "components/notify_popup_window.h"
#include "settings/settings_record.h"
#include "signin/sign_in.h"
#include "support/service_stand_ins.h"
#include "support/wine_test_fixture.h"
#include "ui/message_pump.h"

namespace {

class NewsTest : public ClientTest {
  protected:
    static const std::vector<TfrmNotifyPopUp*>& Popups() {
        return frmMain->notifypopup.Notifications();
    }
    static std::vector<std::string> Texts() {
        std::vector<std::string> texts;
        for (const TfrmNotifyPopUp* popup : Popups()) {
            texts.push_back(popup->Text());
        }
        return texts;
    }
    static std::vector<std::string> Links() {
        std::vector<std::string> links;
        for (const TfrmNotifyPopUp* popup : Popups()) {
            links.push_back(popup->URL());
        }
        return links;
    }
    static void ClickText(const TfrmNotifyPopUp& popup) {
        const RECT text = popup.TextLabel().Bounds();
        const LPARAM middle =
            MAKELPARAM((text.left + text.right) / 2, (text.top + text.bottom) / 2);
        ::SendMessageA(popup.hwnd(), WM_LBUTTONDOWN, 0, middle);
        ::SendMessageA(popup.hwnd(), WM_LBUTTONUP, 0, middle);
    }
};

TEST_F(NewsTest, EachItemWithAMessageBecomesAPopupInTheRepliesOrder) {
    service().SetNews(R"([
        {"message": "First & foremost", "url": " http://h/first ", "type": "INFO"},
        {"message": "", "url": "http://h/silent", "type": "INFO"},
        {"message": "Second", "url": "\thttp://h/update \t", "type": "UPDATE"},
        {"message": "Third", "url": "http://h/third", "type": "update"}])");
    EXPECT_TRUE(FetchNews());
    EXPECT_EQ(Texts(), (std::vector<std::string>{"First & foremost", "Second", "Third"}));
    EXPECT_EQ(Links(),
              (std::vector<std::string>{"http://h/first", "http://h/update", "http://h/third"}));
    for (size_t i = 0; i < Popups().size(); ++i) {
        EXPECT_EQ(Popups()[i]->Title(), "") << i;
        EXPECT_EQ(Popups()[i]->PlacedOffset(), static_cast<int>(123 * i)) << i;
    }
    // Only the exact type counts, and its link is kept as written.
    EXPECT_EQ(recSETTINGS.updatelink, "\thttp://h/update \t");
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Requests("/actions/news.php"), 1);
}

TEST_F(NewsTest, NoNewsOrSilentNewsShowsNothing) {
    service().SetNews("[]");
    EXPECT_TRUE(FetchNews());
    service().SetNews(R"([{"message": "", "url": "http://h/new-client", "type": "UPDATE"}])");
    EXPECT_TRUE(FetchNews());
    EXPECT_TRUE(Popups().empty());
    EXPECT_EQ(recSETTINGS.updatelink, "http://h/new-client");
    EXPECT_TRUE(messages.empty());
}

TEST_F(NewsTest, AnItemWithoutItsLinkStopsTheNewsAndTheSignInEnds) {
    service().SetNews(R"([
        {"message": "First", "url": "http://h/first", "type": "INFO"},
        {"message": "Second", "type": "INFO"},
        {"message": "Third", "url": "http://h/update", "type": "UPDATE"}])");
    // What stands on the screen when the message comes.
    std::vector<std::string> shownAtMessage;
    const PromptAnswerScope answers({[&](const std::string& text, UINT) {
                                         messages.push_back(text);
                                         shownAtMessage = Texts();
                                         return IDOK;
                                     },
                                     nullptr});
    SignedIn = false;
    LoginResultCode = LoginAccepted;
    LoginResult();
    EXPECT_EQ(messages, std::vector<std::string>{"Error reading a /news/url node"});
    EXPECT_EQ(shownAtMessage, std::vector<std::string>{"First"});
    EXPECT_EQ(recSETTINGS.updatelink, "") << "the third item is never read";
    EXPECT_FALSE(SignedIn);
    EXPECT_TRUE(Popups().empty()) << "the sign-out closed the first popup";
    EXPECT_EQ(frmMain->notifypopup.Stack().PopupCount(), 0);
}

TEST_F(NewsTest, ABrokenReplyIsReportedAndAFailedExchangeSignsOut) {
    service().SetFault(R"({"path": "/actions/news.php", "kind": "broken_xml", "count": 1})");
    EXPECT_FALSE(FetchNews());
    EXPECT_EQ(messages, std::vector<std::string>{
                            "Error download news (invalid XML received; parser error!)"});
    EXPECT_TRUE(SignedIn) << "the caller signs out";

    messages.clear();
    service().SetFault(R"({"path": "/actions/news.php", "kind": "drop", "count": 1})");
    EXPECT_FALSE(FetchNews());
    EXPECT_FALSE(SignedIn);
    EXPECT_TRUE(messages.empty()) << "an automatic sign-in fails silently";
    EXPECT_TRUE(Popups().empty());
}

TEST_F(NewsTest, CharacterReferencesBecomeTextInTheAnsiCodePage) {
    ASSERT_EQ(::GetACP(), 1252u);
    service().SetFault(R"({"path": "/actions/news.php", "kind": "body", "count": 1, "body":
        "<n><news><message>caf&#233; &#x3042; caf\u00e9</message><url/><type/></news></n>"})");
    ASSERT_TRUE(FetchNews());
    // The reply's own bytes are ANSI text already; a character the code page lacks is "?".
    EXPECT_EQ(Texts(), std::vector<std::string>{"caf\xE9 ? caf\xE9"});
}

TEST_F(NewsTest, ALinkThatIsNoWebAddressOpensNothingAndItsPopupStillCloses) {
    const PagesOpenedForTesting pages;
    service().SetNews(R"json([
        {"message": "a", "url": "C:\\some\\program.exe", "type": "UPDATE"},
        {"message": "b", "url": "file:///C:/some/program.exe", "type": "UPDATE"},
        {"message": "c", "url": "\\\\server\\share\\setup.exe", "type": "INFO"},
        {"message": "d", "url": "javascript:alert(1)", "type": "INFO"}])json");
    ASSERT_TRUE(FetchNews());
    ASSERT_EQ(Popups().size(), 4u);
    EXPECT_EQ(recSETTINGS.updatelink, "") << "no update link either";
    while (!Popups().empty()) {
        const HWND popup = Popups()[0]->hwnd();
        ClickText(*Popups()[0]);
        EXPECT_FALSE(::IsWindow(popup));
    }
    EXPECT_TRUE(pages.Addresses().empty());
    EXPECT_FALSE(frmMain->ShutdownPending());
}

TEST_F(NewsTest, ThePopupsCloseAtSignOutAndHideWithEveryWindow) {
    service().SetNews(R"([{"message": "a", "url": "", "type": ""},
                          {"message": "b", "url": "", "type": ""}])");
    ASSERT_TRUE(FetchNews());
    ASSERT_EQ(Popups().size(), 2u);
    const HWND first = Popups()[0]->hwnd();
    ::SendMessageA(frmResources->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindowVisible(first));
    EXPECT_TRUE(::IsWindow(first)) << "hidden, not closed";
    SignOut(true);
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_TRUE(Popups().empty());
}

TEST_F(NewsTest, TheUpdateLinksPopupOpensItClosesTheNewsAndEndsTheProgram) {
    const PagesOpenedForTesting pages;
    service().SetNews(R"([
        {"message": "News", "url": "http://h/news", "type": "INFO"},
        {"message": "A new client", "url": " http://h/Setup.exe", "type": "UPDATE"}])");
    ASSERT_TRUE(FetchNews());
    ASSERT_EQ(Popups().size(), 2u);
    const HWND news = Popups()[0]->hwnd();
    ClickText(*Popups()[1]);
    EXPECT_EQ(pages.Addresses(), std::vector<std::string>{"http://h/setup.exe"});
    EXPECT_FALSE(::IsWindow(news)) << "every notification closes";
    EXPECT_TRUE(Popups().empty());
    EXPECT_TRUE(frmMain->ShutdownPending());
    const ULONGLONG clicked = ::GetTickCount64();
    EXPECT_TRUE(PumpUntil([] { return QuitRequested(); }, 5000));
    EXPECT_GE(::GetTickCount64() - clicked, 900u);
    EXPECT_TRUE(SignedOutByUser);
}

}  // namespace

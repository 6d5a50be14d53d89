#include "service/news.h"

#include <string>

#include "app/forms.h"
#include "app/main_window.h"
#include "components/modal.h"
#include "service/news_reply.h"
#include "service/service_address.h"
#include "service/xml_request.h"
#include "settings/settings_record.h"

bool FetchNews() {
    const std::string reply = PostXmlRequest(
        BuildGetNewsMessage(recSETTINGS.nickname, recSETTINGS.password), ServiceUrl(kNewsPath));
    if (reply == kFailedExchange) {
        return false;
    }
    const NewsReply news = ParseNewsReply(reply);
    for (const NewsItem& item : news.items) {
        if (IsUpdateNotice(item)) {
            recSETTINGS.updatelink = item.url;
        }
        if (!item.message.empty() && frmMain) {
            TNotifyPopUp& popup = frmMain->notifypopup;
            popup.Text = item.message;
            popup.URL = NewsLink(item);
            popup.Title.clear();
            popup.ShowNotification();
        }
    }
    for (const std::string& message : NewsReplyMessages(news, reply)) {
        ShowMessage(message);
    }
    return news.outcome == NewsReply::Outcome::Read;
}

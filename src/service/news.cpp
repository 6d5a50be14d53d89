#include "service/news.h"

#include <string>

#include "components/notify_popup_rules.h"
#include "service/exchange.h"
#include "service/news_reply.h"
#include "service/service_address.h"
#include "service/service_owner.h"
#include "service/xml_request.h"
#include "settings/settings_record.h"
#include "ui/ansi_text.h"
#include "ui/prompt.h"

bool FetchNews() {
    const ServiceExchange exchange;
    const std::string reply = PostXmlRequest(
        BuildGetNewsMessage(recSETTINGS.nickname, recSETTINGS.password), ServiceUrl(kNewsPath));
    if (reply == kFailedExchange) {
        return false;
    }
    // News for a session the user has left meanwhile is not shown.
    if (!exchange.SessionStands()) {
        return false;
    }
    const NewsReply news = ParseNewsReply(reply, &AnsiCharacter);
    for (const NewsItem& item : news.items) {
        // Only a web address can be the update link: a click on it is opened.
        if (IsUpdateNotice(item) && IsWebAddress(item.url)) {
            recSETTINGS.updatelink = item.url;
        }
        if (!item.message.empty()) {
            TheServiceOwner()->ShowNewsItem(item.message, NewsLink(item));
        }
    }
    for (const std::string& message : NewsReplyMessages(news, reply)) {
        ShowMessage(message);
    }
    return news.outcome == NewsReply::Outcome::Read;
}

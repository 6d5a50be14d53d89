#pragma once
// What the exchanges with the service make happen in the application above them, through one
// narrow interface that the application sets at start-up: the service layer knows no window and no
// sign-in.
//
// An exchange pumps messages while it waits, so the signed-in session it was started for may have
// ended before it returns: each later step goes on only while that session stands (see
// service/exchange.h).

#include <cstdint>
#include <string>

class ServiceOwner {
  public:
    virtual ~ServiceOwner() = default;
    // The number of the signed-in session that stands now; 0 while signed out. Every sign-in and
    // sign-out changes it.
    virtual uint32_t StandingSession() const = 0;
    // An exchange of the standing session failed: the user hears of it if they started the
    // sign-in, and is signed out.
    virtual void ExchangeFailed() = 0;
    // The request for a web session, which the user asked for through the menu, failed: the user
    // hears of it in any case, and is signed out.
    virtual void SessionRequestFailed() = 0;
    // A wallpaper became the current one.
    virtual void WallpaperApplied() = 0;
    // One item of the service's news, in a popup.
    virtual void ShowNewsItem(const std::string& text, const std::string& link) = 0;
};

// Makes owner the one every exchange reports to, for as long as it lives; the previous one
// returns afterwards. Without an owner no session stands and nothing is reported.
class ServiceOwnerScope {
  public:
    explicit ServiceOwnerScope(ServiceOwner& owner);
    ServiceOwnerScope(const ServiceOwnerScope&) = delete;
    ServiceOwnerScope& operator=(const ServiceOwnerScope&) = delete;
    ~ServiceOwnerScope();

  private:
    ServiceOwner* previous_;
};

ServiceOwner* TheServiceOwner();

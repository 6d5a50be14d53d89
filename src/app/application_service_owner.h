#pragma once
// The application's side of the exchanges with the service: the session they belong to, what a
// failed one does, and where a new wallpaper and the news show.

#include "service/service_owner.h"

class ApplicationServiceOwner : public ServiceOwner {
  public:
    uint32_t StandingSession() const override;
    void ExchangeFailed() override;
    void SessionRequestFailed() override;
    void WallpaperApplied() override;
    void ShowNewsItem(const std::string& text, const std::string& link) override;
};

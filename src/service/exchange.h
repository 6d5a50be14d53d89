#pragma once
// Every exchange with the service on the user-interface thread opens as a ServiceExchange, which
// holds the two marks the rules of ui/message_pump.h ask for:
// - One exchange at a time: from its start to its end, ExchangeRuns() is true, and what would start
//   another meanwhile (the cycle's hourly check, a resume notice, a sign-in's result and its
//   follow-up, a tray menu item, the picker) waits or does nothing. Two at once would race for one
//   temporary file and apply their wallpapers in the wrong order. Exchanges nested in one (a
//   request and the download of its reply) count as that one.
// - The session it was started in: the exchange pumps messages while it waits, so the user may
//   have signed out, or out and in again, before it returns. Each later step asks SessionStands()
//   first.
// A transfer that fails is handled alike by every exchange: one that the program's end abandoned
// is nothing to tell; any other one is reported to the ServiceOwner while the session stands, and
// not at all after the user signed out meanwhile, whose sign-out stands.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class ServiceExchange {
  public:
    // Which failure the owner hears of: an exchange of the session, or the web session the user
    // asked for through the menu.
    enum class Failure { ExchangeFailed, SessionRequestFailed };

    // Runs from now, in the session that stands now (none while signed out).
    ServiceExchange();
    ServiceExchange(const ServiceExchange&) = delete;
    ServiceExchange& operator=(const ServiceExchange&) = delete;
    ~ServiceExchange();

    // Whether the session the exchange was started in still stands.
    bool SessionStands() const;

    // The transfer's reply, or nothing when it failed (the failure handled as above).
    std::optional<std::string> Transfer(const std::function<std::string()>& transfer,
                                        Failure failure = Failure::ExchangeFailed) const;

  private:
    uint32_t session_;
};

// Whether an exchange runs on the user-interface thread now.
bool ExchangeRuns();

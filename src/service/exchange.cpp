#include "service/exchange.h"

#include "service/http_client.h"
#include "service/service_owner.h"
#include "service/service_state.h"

namespace {

// The session that stands now; none without an owner.
uint32_t StandingSession() {
    const ServiceOwner* owner = TheServiceOwner();
    return owner ? owner->StandingSession() : 0;
}

}  // namespace

ServiceExchange::ServiceExchange() : session_(StandingSession()) {
    ++TheServiceState().runningExchanges;
}

ServiceExchange::~ServiceExchange() {
    --TheServiceState().runningExchanges;
}

bool ServiceExchange::SessionStands() const {
    return session_ != 0 && session_ == StandingSession();
}

std::optional<std::string> ServiceExchange::Transfer(const std::function<std::string()>& transfer,
                                                     Failure failure) const {
    try {
        return transfer();
    } catch (const HttpAbandoned&) {
        return std::nullopt;  // the program ends: nothing to tell and no one to sign out
    } catch (const HttpError&) {
        if (!SessionStands()) {
            return std::nullopt;
        }
        ServiceOwner& owner = *TheServiceOwner();
        if (failure == Failure::SessionRequestFailed) {
            owner.SessionRequestFailed();
        } else {
            owner.ExchangeFailed();
        }
        return std::nullopt;
    }
}

bool ExchangeRuns() {
    return TheServiceState().runningExchanges > 0;
}

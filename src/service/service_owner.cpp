#include "service/service_owner.h"

namespace {

ServiceOwner* owner = nullptr;

uint32_t StandingSession() {
    return owner ? owner->StandingSession() : 0;
}

}  // namespace

ServiceOwnerScope::ServiceOwnerScope(ServiceOwner& newOwner) : previous_(owner) {
    owner = &newOwner;
}

ServiceOwnerScope::~ServiceOwnerScope() {
    owner = previous_;
}

ServiceOwner* TheServiceOwner() {
    return owner;
}

SessionTicket::SessionTicket() : session_(StandingSession()) {}

bool SessionTicket::Stands() const {
    return session_ != 0 && session_ == StandingSession();
}

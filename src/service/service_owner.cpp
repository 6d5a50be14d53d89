#include "service/service_owner.h"

#include "service/service_state.h"

ServiceOwnerScope::ServiceOwnerScope(ServiceOwner& newOwner) : previous_(TheServiceState().owner) {
    TheServiceState().owner = &newOwner;
}

ServiceOwnerScope::~ServiceOwnerScope() {
    TheServiceState().owner = previous_;
}

ServiceOwner* TheServiceOwner() {
    return TheServiceState().owner;
}

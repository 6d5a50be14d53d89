#include "service/service_state.h"

namespace {

// The exchanges start from windows, timers, the sign-in and its worker thread, which share no
// object below the application; and "Exit" must reach the exchanges of every thread. So the
// service layer's state is one object of the process rather than a member of any of them.
ServiceState state;

}  // namespace

ServiceState& TheServiceState() {
    return state;
}

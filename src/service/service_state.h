#pragma once
// What the service layer keeps from one exchange to the next, for the whole process: the
// application the exchanges report to and the exchange that runs.

class ServiceOwner;

struct ServiceState {
    // The exchanges': the one they report to (ServiceOwnerScope), and how many run on the
    // user-interface thread now (ServiceExchange).
    ServiceOwner* owner = nullptr;
    int runningExchanges = 0;
};

// The one state of the process.
ServiceState& TheServiceState();

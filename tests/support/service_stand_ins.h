#pragma once
// Stand-ins for what cannot run here, through the service's state, each for its lifetime.

#include <string>
#include <vector>

#include "service/service_state.h"
#include "service/session_pages.h"

// A pulled network cable: Wine always reports a connection.
class OfflineForTesting {
  public:
    OfflineForTesting() : previous_(TheServiceState().offline.exchange(true)) {}
    OfflineForTesting(const OfflineForTesting&) = delete;
    OfflineForTesting& operator=(const OfflineForTesting&) = delete;
    ~OfflineForTesting() { TheServiceState().offline = previous_; }

  private:
    bool previous_;
};

// The browser: the pages the client opens are recorded here instead.
class PagesOpenedForTesting : public PageOpener {
  public:
    PagesOpenedForTesting() : previous_(TheServiceState().pageOpener) {
        TheServiceState().pageOpener = this;
    }
    PagesOpenedForTesting(const PagesOpenedForTesting&) = delete;
    PagesOpenedForTesting& operator=(const PagesOpenedForTesting&) = delete;
    ~PagesOpenedForTesting() override { TheServiceState().pageOpener = previous_; }

    void Open(const std::string& address) override { addresses_.push_back(address); }
    const std::vector<std::string>& Addresses() const { return addresses_; }

  private:
    PageOpener* previous_;
    std::vector<std::string> addresses_;
};

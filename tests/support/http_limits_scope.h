#pragma once
// Smaller limits for the exchanges of the client under test, which create their clients
// themselves: every client created on the user-interface thread meanwhile, and every sign-in
// worker started meanwhile, starts with them; the previous ones apply again afterwards.

#include "service/service_state.h"

class HttpLimitsScope {
  public:
    explicit HttpLimitsScope(const HttpLimits& limits) : previous_(TheServiceState().limits) {
        TheServiceState().limits = limits;
    }
    HttpLimitsScope(const HttpLimitsScope&) = delete;
    HttpLimitsScope& operator=(const HttpLimitsScope&) = delete;
    ~HttpLimitsScope() { TheServiceState().limits = previous_; }

  private:
    HttpLimits previous_;
};

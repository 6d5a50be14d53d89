#pragma once
// A fixture for the tests of the client's Win32 parts against the stand-in service: the client is
// pointed at the stand-in, the settings and sign-in state start afresh, and every message box and
// modal window is answered and recorded instead of shown.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/modal.h"
#include "signin/connection_failure_window.h"
#include "support/test_services.h"

class ClientTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    const TestServices& services() const { return RunningTestServices(); }
    const StandInService& service() const { return service_; }
    // Sets the settings record's proxy fields.
    void UseProxy(const std::string& type, int port, const std::string& user = "",
                  const std::string& password = "");

    // What the user would have seen, in order.
    std::vector<std::string> messages;
    // The class names of the windows that were run modally, in order.
    std::vector<std::string> modalWindows;
    // The modal result the recorded modal windows return.
    int modalAnswer = kModalDone;

  private:
    StandInService service_{0};
    std::unique_ptr<PromptAnswerScope> answers_;
    std::unique_ptr<TfrmPopop> popop_;
};

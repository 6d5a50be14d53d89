#pragma once
// A fixture for the tests of the client's Win32 parts against the stand-in service: the client is
// pointed at the stand-in, the settings and sign-in state start afresh (a first run in the
// registry; signed in, with the stand-in's demo account), the client's windows are created as at
// start, and every message box and modal window is answered and recorded instead of shown.

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/forms.h"
#include "support/test_services.h"
#include "ui/prompt.h"
#include "ui/window.h"

// How long a wait on a condition may take. Only a broken test waits that long, so it is generous
// enough for a loaded machine; a condition that holds ends the wait at once.
inline constexpr int kPumpUntilTimeoutMs = 30000;

// Names the messages a pump takes off the queue without dispatching them.
using MessageFilter = std::function<bool(const MSG&)>;

// Dispatches this thread's messages through the client's own pump until the condition holds;
// false when it did not within the time. With drop, messages are taken one at a time instead:
// those it names are removed unseen, the others dispatched plainly, and the condition is asked
// after each, so that none after the awaited one is lost.
bool PumpUntil(const std::function<bool()>& condition, int milliseconds = kPumpUntilTimeoutMs,
               const MessageFilter& drop = nullptr);

// Whether a thread-pool worker runs in this process: a thread that ntdll itself started. Wine's
// browser control, among others, works on such workers, which end only after some seconds
// without work; what a test counts of the process waits for them.
bool PoolWorkerRuns();

// Runs the step at every tick of a thread timer for as long as it lives: the ticks reach it from
// whichever pump runs, an exchange's keep-alive among them, so that a test can act while the
// client waits for the network.
class EveryTick {
  public:
    EveryTick(unsigned periodMs, std::function<void()> step);
    EveryTick(const EveryTick&) = delete;
    EveryTick& operator=(const EveryTick&) = delete;
    ~EveryTick();

  private:
    std::function<void()> step_;
    uintptr_t timer_;
};

class ClientTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    const TestServices& services() const { return RunningTestServices(); }
    const StandInService& service() const { return service_; }
    // Creates the client's windows anew, as at start; SetUp does it once, with the settings of
    // the fixture.
    void StartClient();
    // The free PumpUntil, which this member hides from the fixture's tests.
    static bool PumpUntil(const std::function<bool()>& condition,
                          int milliseconds = kPumpUntilTimeoutMs,
                          const MessageFilter& drop = nullptr);

    // How many requests the stand-in received whose request line names the path (and query).
    int Requests(const std::string& path) const;

    // Sets the settings record's proxy fields.
    void UseProxy(const std::string& type, int port, const std::string& user = "",
                  const std::string& password = "");

    // What the user would have seen, in order.
    std::vector<std::string> messages;
    // The class names of the windows that were run modally, in order.
    std::vector<std::string> modalWindows;
    // The modal result the recorded modal windows return, or -1 to run them for real.
    int modalAnswer = kModalDone;

  private:
    StandInService service_{0};
    std::unique_ptr<PromptAnswerScope> answers_;
    std::unique_ptr<ApplicationForms> forms_;
};

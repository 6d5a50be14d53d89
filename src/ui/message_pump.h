#pragma once
// The one message pump of the user-interface thread, used by the main loop, by ProcessMessages
// (the transport's keep-alive, the sign-in) and by every modal run.
//
// Invariants, because any handler can run inside another:
// - Every loop takes its messages through DispatchNextMessage, so each message gets the same
//   pre-dispatch step: first the hosted controls' accelerator hooks, then the keys of the form
//   the message is for (its PreTranslateMessage: Tab, Enter, Esc, Ctrl+Tab).
// - The end of the program is a flag, not only a message: whichever loop takes WM_QUIT off the
//   queue sets it, and every loop stops at its next pass once it is set. So "Exit" chosen while an
//   exchange pumps inside a modal window ends the modal run, then the main loop, instead of being
//   swallowed by the innermost pump.
// - A handler that must not run twice at once guards itself (see the sign-in and the modal runs):
//   the pump does not know which messages belong together.
// - One exchange with the service at a time. Every exchange on this thread (a request with its
//   download and applying, the news, a session id, a sign-in's follow-up) is a ServiceExchange
//   (service/exchange.h) for as long as it runs. What would start another meanwhile (the cycle's
//   hourly check, a resume notice, a sign-in's result and its follow-up, a tray menu item, the
//   picker) waits until no exchange runs, or does nothing: two at once would race for one
//   temporary file and apply their wallpapers in the wrong order.
// - An exchange that pumped has to ask, before each later step, whether the session it was started
//   for still stands (the ServiceExchange's session): the user may have signed out, or out and in
//   again, meanwhile.
// - "Exit" abandons the running exchange (Application::Terminate), so that every loop unwinds
//   within a moment, however slowly the server answers.

#include <windows.h>

#include <functional>

// Takes the next message and dispatches it. With wait, blocks until one arrives; without, returns
// false at once when the queue is empty. Returns false as soon as the program is ending.
bool DispatchNextMessage(bool wait);

// Dispatches what is waiting now; returns false when the program is ending.
bool DispatchWaitingMessages();

// Asks every loop to end: sets the flag and posts WM_QUIT to wake a waiting GetMessage.
void RequestQuit();
bool QuitRequested();

// A hosted control that translates its own accelerator keys (the browser control) registers a
// hook for as long as it lives; a hook that returns true has consumed the message.
class PreTranslateHook {
  public:
    explicit PreTranslateHook(std::function<bool(MSG&)> hook);
    PreTranslateHook(const PreTranslateHook&) = delete;
    PreTranslateHook& operator=(const PreTranslateHook&) = delete;
    ~PreTranslateHook();

    bool operator()(MSG& message) const { return hook_(message); }

  private:
    std::function<bool(MSG&)> hook_;
};

#pragma once
// What the user interface keeps for one run of the program on its thread: the pump's end flag and
// hooks, the modal runs, the message boxes' caption and answers, the top-level watch, the screen
// cursor, the control ids, the live forms, the window classes and the browser hosts' COM objects.
// Each member is read and written by the file named above it, through that file's own functions;
// nothing else changes them.
//
// The window procedures and hooks that the system calls get no pointer of the client's, so they
// reach it through the one instance, TheUi().

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/win_handles.h"

class FormSet;
class PreTranslateHook;
class Window;
class WindowClass;

// The context holds the state of the modules above; it includes none of them, so that each may
// include it. The types of their state that the context needs are therefore declared here.

// While a PromptAnswerScope (ui/prompt.h) lives, message boxes and modal windows are answered by
// these functions instead of a person: the message answer gets the text and box type and returns
// the button; the modal answer gets the window and returns its modal result. An empty function
// leaves that kind to the user.
struct PromptAnswers {
    std::function<int(const std::string& text, UINT type)> message;
    std::function<int(Window& window)> modal;
};

// The application's screen-wide cursor (ui/screen_cursor.h).
enum class ScreenCursor { Default, HandPoint };

class UiContext {
  public:
    UiContext();
    UiContext(const UiContext&) = delete;
    UiContext& operator=(const UiContext&) = delete;
    ~UiContext();

    // A new run of the program's user interface (tests start the client several times in one
    // process): no end requested, nor left in the queue, and the default screen cursor. What
    // lives with its scope (hooks, runs, answers, watches) ends with it; the window classes and
    // the control ids stay for the whole process.
    void Reset();

    // ui/message_pump: the end of the program is requested (see the pump's invariants), and the
    // hosted controls' accelerator hooks, in the order they were made.
    bool quitRequested = false;
    std::vector<const PreTranslateHook*> preTranslateHooks;

    // ui/modal: the windows in a modal run, innermost last.
    std::vector<Window*> modalRuns;

    // ui/prompt: the caption of every message box; an error box stands (its own message loop
    // runs the client's handlers meanwhile); the answers in force.
    const char* messageCaption = "";
    bool errorBoxStands = false;
    PromptAnswers promptAnswers;

    // ui/top_level_message: the one message watched and its receiver; the foreign-window watch
    // scopes alive and the hook they share.
    UINT watchedMessage = 0;
    std::function<void(WPARAM)> watchedReceived;
    int foreignWatchScopes = 0;
    UniqueHook foreignWatchHook;

    // ui/screen_cursor: the screen-wide cursor.
    ScreenCursor screenCursor = ScreenCursor::Default;

    // ui/window: the id of the next control made; the object whose window is being made now, and
    // by which thread (WM_NCCREATE binds no other); the hook on the thread's posted messages,
    // from the first window on.
    int nextControlId = 1000;
    Window* windowBeingCreated = nullptr;
    DWORD creatingThread = 0;
    UniqueHook postedMessageHook;

    // ui/form_table: the live set of the forms, while one lives.
    FormSet* liveForms = nullptr;

    // ui/window_class: the classes registered, by name; each lives until the program ends.
    // Shared pointers, because they delete a class this file need not know.
    std::map<std::string, std::shared_ptr<WindowClass>> windowClasses;

    // components/web_browser_host: how many of the browser hosts' COM objects are still
    // referenced, by a host or by a control; they may outlive their host.
    int liveBrowserHostObjects = 0;
};

// The user interface of this run.
UiContext& TheUi();

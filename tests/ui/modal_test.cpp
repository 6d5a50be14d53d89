// Modal windows and message boxes: the real modal loop, and the answers tests give instead of a
// person.

#include "ui/modal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "support/program_state.h"
#include "support/wine_test_fixture.h"
#include "ui/control.h"
#include "ui/message_pump.h"
#include "ui/window.h"

namespace {

class TestForm : public Window {
  public:
    void Create() {
        CreateForm(FormDescription("MurloxTestForm")
                       .Caption("Test form")
                       .Style(WS_POPUP | WS_CAPTION | WS_SYSMENU)
                       .At(10, 10)
                       .ClientSize(200, 100),
                   nullptr);
    }
};

void (*pendingCallback)() = nullptr;

void CALLBACK RunPendingCallback(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    pendingCallback();
}

// Calls the function once from the message loop after the given time.
void After(UINT milliseconds, void (*callback)()) {
    pendingCallback = callback;
    ::SetTimer(nullptr, 0, milliseconds, &RunPendingCallback);
}

TestForm* form = nullptr;

TEST(ShowModal, RunsUntilAResultIsSetAndHidesTheWindowAfter) {
    TestForm f;
    f.Create();
    form = &f;
    After(50, [] {
        EXPECT_TRUE(form->IsVisible());
        EXPECT_TRUE(InModalRun(*form));
        form->SetModalResult(kModalClosedByProgram);
    });
    EXPECT_EQ(ShowModal(f), kModalClosedByProgram);
    EXPECT_FALSE(f.IsVisible());
    EXPECT_FALSE(InModalRun(f));
}

TEST(ShowModal, ClosingTheModalWindowIsTheUsersCancel) {
    TestForm f;
    f.Create();
    form = &f;
    After(50, [] { ::PostMessageA(form->hwnd(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(ShowModal(f), kModalFailed);
    EXPECT_NE(f.hwnd(), nullptr) << "a closed form is hidden, not destroyed";
}

TEST(ShowModal, DisablesTheOtherWindowsOnlyWhileItRuns) {
    TestForm other;
    other.Create();
    other.Show();
    TestForm f;
    f.Create();
    form = &f;
    static HWND otherWindow;
    otherWindow = other.hwnd();
    After(50, [] {
        EXPECT_FALSE(::IsWindowEnabled(otherWindow));
        form->SetModalResult(kModalDone);
    });
    EXPECT_EQ(ShowModal(f), kModalDone);
    EXPECT_TRUE(::IsWindowEnabled(other.hwnd()));
}

TEST(PromptAnswerScope, AnswersMessagesAndModalWindowsInsteadOfAPerson) {
    TestForm f;
    f.Create();
    std::vector<std::string> messages;
    std::vector<HWND> modals;
    {
        const PromptAnswerScope answers({[&](const std::string& text, UINT) {
                                             messages.push_back(text);
                                             return IDOK;
                                         },
                                         [&](Window& window) {
                                             modals.push_back(window.hwnd());
                                             return kModalDone;
                                         }});
        EXPECT_EQ(ShowMessage("first"), IDOK);
        ShowError(std::runtime_error("second"));
        EXPECT_EQ(ShowModal(f), kModalDone);
    }
    EXPECT_EQ(messages, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(modals, std::vector<HWND>{f.hwnd()});
    EXPECT_FALSE(f.IsVisible());
}

class FailingPaint : public Control {
  public:
    void Create(HWND parent) { CreateControl("MurloxFailingPaint", parent, 0, 0, 50, 20); }

  protected:
    void PaintContent(HDC) override { throw std::runtime_error("cannot paint"); }
};

TEST(PromptAnswerScope, APaintThatFailsUnderItsErrorBoxOpensNoSecondBox) {
    int boxes = 0;
    int standing = 0;
    int deepest = 0;
    HWND control = nullptr;
    // A box's own loop: the control under it is painted again, and fails again.
    const PromptAnswerScope answers(
        {[&](const std::string&, UINT) {
             ++boxes;
             deepest = std::max(deepest, ++standing);
             if (standing == 1) {
                 ::InvalidateRect(control, nullptr, FALSE);
                 PumpUntil([&] { return !::GetUpdateRect(control, nullptr, FALSE); }, 5000);
             }
             --standing;
             return IDOK;
         },
         {}});
    TestForm f;
    f.Create();
    f.Show();
    FailingPaint failing;
    failing.Create(f.hwnd());
    control = failing.hwnd();
    EXPECT_TRUE(PumpUntil([&] { return boxes > 0 && standing == 0; }, 5000));
    EXPECT_EQ(deepest, 1);
    // The box is gone: the next error is shown again.
    ShowError(std::runtime_error("later"));
    EXPECT_GE(boxes, 2);
}

TEST(ShowModal, AQuitTakenByANestedPumpEndsTheModalRunAndStaysForTheMainLoop) {
    TestForm f;
    f.Create();
    After(50, [] {
        // "Exit" chosen while an exchange lets messages run inside the modal window.
        ::PostQuitMessage(0);
        EXPECT_FALSE(DispatchWaitingMessages());
    });
    EXPECT_EQ(ShowModal(f), kModalClosedByProgram);
    EXPECT_TRUE(QuitRequested());
    EXPECT_FALSE(DispatchNextMessage(true)) << "the main loop ends too, without waiting";
    ResetProgramState();
}

// Counts what reaches the derived class until the window is gone.
class LifeForm : public Window {
  public:
    void Create() {
        CreateForm(FormDescription("MurloxLifeForm").Style(WS_POPUP).ClientSize(10, 10), nullptr);
    }
    int destroyMessages = 0;
    int finalMessages = 0;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_DESTROY) {
            ++destroyMessages;
        }
        if (message == WM_APP) {
            ::DestroyWindow(hwnd());  // the window ends itself
            return 0;
        }
        return Window::HandleMessage(message, wParam, lParam);
    }
    void OnFinalMessage() override { ++finalMessages; }
};

TEST(WindowLife, TheOwnersDestroyReachesTheDerivedClassAndASelfEndingWindowIsToldLast) {
    LifeForm owned;
    owned.Create();
    owned.Destroy();
    EXPECT_EQ(owned.destroyMessages, 1);
    EXPECT_EQ(owned.finalMessages, 1);
    EXPECT_EQ(owned.hwnd(), nullptr);

    LifeForm selfEnding;
    selfEnding.Create();
    const HWND window = selfEnding.hwnd();
    ::PostMessageA(window, WM_APP, 0, 0);
    while (::IsWindow(window) && DispatchNextMessage(true)) {
    }
    EXPECT_EQ(selfEnding.destroyMessages, 1);
    EXPECT_EQ(selfEnding.finalMessages, 1);
    EXPECT_EQ(Window::FromHandle(window), nullptr);
}

}  // namespace

#include "input.h"

#include <utility>

#include "exit_status.h"

namespace winctl {

namespace {

struct NamedKey {
    const char* name;
    WORD key;
    bool shift;
    bool control;
};

constexpr NamedKey kNamedKeys[] = {
    {"TAB", VK_TAB, false, false},      {"S-TAB", VK_TAB, true, false},
    {"C-TAB", VK_TAB, false, true},     {"C-S-TAB", VK_TAB, true, true},
    {"ENTER", VK_RETURN, false, false}, {"ESC", VK_ESCAPE, false, false},
    {"SPACE", VK_SPACE, false, false},  {"DOWN", VK_DOWN, false, false},
    {"UP", VK_UP, false, false},        {"LEFT", VK_LEFT, false, false},
    {"RIGHT", VK_RIGHT, false, false},  {"BACK", VK_BACK, false, false},
};

INPUT Key(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// A key pressed and released, with Ctrl and Shift held around it when asked.
void AddKeystroke(std::vector<INPUT>& inputs, WORD key, bool shift, bool control = false) {
    if (control) {
        inputs.push_back(Key(VK_CONTROL, false));
    }
    if (shift) {
        inputs.push_back(Key(VK_SHIFT, false));
    }
    inputs.push_back(Key(key, false));
    inputs.push_back(Key(key, true));
    if (shift) {
        inputs.push_back(Key(VK_SHIFT, true));
    }
    if (control) {
        inputs.push_back(Key(VK_CONTROL, true));
    }
}

// A character the keyboard layout can type, with the Shift it needs.
void AddCharacter(std::vector<INPUT>& inputs, char character) {
    const SHORT scan = VkKeyScanA(character);
    if (scan == -1) {
        throw UsageError(std::string("no key types the character '") + character + "'");
    }
    AddKeystroke(inputs, LOBYTE(scan), (HIBYTE(scan) & 1) != 0);
}

void AddNamedKey(std::vector<INPUT>& inputs, const std::string& name) {
    for (const NamedKey& named : kNamedKeys) {
        if (name == named.name) {
            AddKeystroke(inputs, named.key, named.shift, named.control);
            return;
        }
    }
    throw UsageError("unknown key {" + name + "}");
}

bool Send(INPUT input) {
    return SendInput(1, &input, sizeof(INPUT)) == 1;
}

}  // namespace

std::vector<INPUT> KeystrokesFor(const std::string& text) {
    std::vector<INPUT> inputs;
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t close = text[i] == '{' ? text.find('}', i) : std::string::npos;
        if (close != std::string::npos && close > i + 1) {
            AddNamedKey(inputs, text.substr(i + 1, close - i - 1));
            i = close;
        } else {
            AddCharacter(inputs, text[i]);
        }
    }
    return inputs;
}

int RunType(const Arguments& arguments) {
    const std::vector<INPUT> inputs = KeystrokesFor(arguments.Text("--text"));
    const DWORD delay = arguments.Number("--delay", 20);
    for (const INPUT& input : inputs) {
        if (!Send(input)) {
            return kExitFailure;
        }
        // Each keystroke reaches the focused window before the next, as typing does.
        Sleep(delay);
    }
    return kExitOk;
}

int RunClick(const Arguments& arguments) {
    const int x = static_cast<int>(arguments.RequiredNumber("--x"));
    const int y = static_cast<int>(arguments.RequiredNumber("--y"));
    const bool right = arguments.Has("--button") && arguments.Text("--button") == "right";
    if (!SetCursorPos(x, y)) {
        return kExitFailure;
    }
    Sleep(50);
    // Each event carries the place itself: under Wine a press that took the place from the moved
    // cursor could still land where the pointer was before.
    INPUT press = {};
    press.type = INPUT_MOUSE;
    press.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    press.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    INPUT move = press;
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    press.mi.dwFlags =
        MOUSEEVENTF_ABSOLUTE | (right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    INPUT release = press;
    release.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | (right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    if (!Send(move) || !Send(press)) {
        return kExitFailure;
    }
    Sleep(50);
    return Send(release) ? kExitOk : kExitFailure;
}

}  // namespace winctl

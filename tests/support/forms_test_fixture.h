#pragma once
// The fixture of the tests of the windows the user types into: a started client, the settings
// key, keys pressed through the client's message pump, and the places of controls.

#include <windows.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <iterator>
#include <vector>

#include "settings/registry_key.h"
#include "settings/settings_store.h"
#include "support/wine_test_fixture.h"
#include "ui/native_control.h"

class FormsTest : public ClientTest {
  protected:
    static RegistryKey Key() { return RegistryKey(kSettingsKeyPath, KEY_READ | KEY_WRITE); }

    // A key pressed and released on the focused control, through the client's message pump.
    static void Press(WORD key) {
        const HWND focused = ::GetFocus();
        ::PostMessageA(focused, WM_KEYDOWN, key, 1);
        ::PostMessageA(focused, WM_KEYUP, key, 0xC0000001);
        PumpUntil([] { return false; }, 60);
    }
    // Keys pressed together through the system's input, as a person's hands would: each held
    // while the next goes down, then let go in reverse.
    static void Chord(std::initializer_list<WORD> keys) {
        std::vector<INPUT> inputs;
        for (const WORD key : keys) {
            inputs.push_back(KeyInput(key, 0));
        }
        for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
            inputs.push_back(KeyInput(*key, KEYEVENTF_KEYUP));
        }
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }
    static INPUT KeyInput(WORD key, DWORD flags) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
        return input;
    }
    static void Click(const NativeControl& button) {
        ::SendMessageA(button.hwnd(), BM_CLICK, 0, 0);
    }
    // The control's rectangle in its parent: left, top, width, height.
    static std::vector<long> Place(const RECT& r) {
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    static SIZE ClientSize(const Window& window) {
        RECT client;
        ::GetClientRect(window.hwnd(), &client);
        return {client.right, client.bottom};
    }
};

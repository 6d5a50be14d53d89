#pragma once
// What the sign-in window shows and accepts, apart from the window.

#include <string>
#include <string_view>

inline constexpr const char* kInvalidEmailMessage = "Please enter a valid email address!";
inline constexpr const char* kMissingPasswordMessage = "Please enter a password!";

// An address needs a dot and an at sign somewhere, in any order; nothing more is checked.
bool LooksLikeEmailAddress(std::string_view text);

// The message that refuses an entry (already trimmed), or an empty text when it may be sent.
std::string SignInEntryMessage(std::string_view nickname, std::string_view password);

// The window's controls when it opens.
struct SignInFormValues {
    bool startWithWindows = false;
    bool autoSignIn = false;
    std::string username;
    std::string password;
};

// On a first run both boxes are checked every time; the password shows only with automatic
// sign-in.
SignInFormValues SignInFormOnShow(bool settingsabsent, bool autostart, bool autologin,
                                  const std::string& nickname, const std::string& password);

#include "signin/sign_in_entry.h"

bool LooksLikeEmailAddress(std::string_view text) {
    return text.find('.') != std::string_view::npos && text.find('@') != std::string_view::npos;
}

std::string SignInEntryMessage(std::string_view nickname, std::string_view password) {
    if (!LooksLikeEmailAddress(nickname)) {
        return kInvalidEmailMessage;
    }
    if (password.empty()) {
        return kMissingPasswordMessage;
    }
    return "";
}

SignInFormValues SignInFormOnShow(bool settingsabsent, bool autostart, bool autologin,
                                  const std::string& nickname, const std::string& password) {
    SignInFormValues values;
    values.startWithWindows = settingsabsent || autostart;
    values.autoSignIn = settingsabsent || autologin;
    values.username = nickname;
    if (autologin) {
        values.password = password;
    }
    return values;
}

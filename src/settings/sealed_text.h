#pragma once
// Texts sealed for the Windows user with the Data Protection API: only the same user (on the same
// machine, or with the same roaming profile) opens them again. The client adds an entropy of its
// own, so that a blob of another program sealed for the same user does not open as ours.

#include <optional>
#include <string>

// The sealed bytes of the text; nothing when the system cannot seal it.
std::optional<std::string> SealText(const std::string& text);

// The text sealed in the bytes; nothing when they are not a blob of ours that this user can open.
std::optional<std::string> OpenSealedText(const std::string& sealed);

#pragma once
// Asking the service for a wallpaper and putting its answer on the desktop.

#include <windows.h>

#include <string>

// Each of these is one exchange (service/exchange.h), and acts on its reply only while
// the session it was started in still stands.

// Posts GETONE and handles the reply with a silent download. False only when the exchange
// failed.
bool RequestCurrentWallpaper(HWND owner);

// Requests the current wallpaper unless a keep schedule runs and has not run out.
void CheckKeepExpiry();

// Posts GETNEWONE for the chosen id and handles the reply with the download window shown. False
// when the reply is empty or the user signed out meanwhile.
bool RequestNewWallpaper(const std::string& newId, HWND owner);

// Reads the reply, tells the user what is wrong with it, or downloads the file it names (shown
// modally unless silent) and applies it, unless the download failed or was closed; a shown one is
// applied as the user's pick. Always true.
bool HandleWallpaperReply(const std::string& reply, HWND owner, bool silent);

// Where wallpapers are downloaded: the program's folder, or the per-user folder
// %LOCALAPPDATA%\MURLOX\ when the program's folder cannot be written (an install under Program
// Files).
std::string WallpaperFolder();

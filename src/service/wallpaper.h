#pragma once
// Making a downloaded file the stretched desktop wallpaper.

#include <string>

// Who chose a wallpaper: the user, in the picker, or the client itself (at sign-in, the hourly
// check, a resume).
enum class WallpaperChoice { Automatic, Picked };

// Clears the keep schedule, sets the file as the stretched wallpaper of the whole desktop and
// records the id as the current wallpaper; only a picked one then shows the desktop (the taskbar's
// command 419), the user's windows stay as they are after an automatic one. A picture is decoded
// before anything is set, since Active Desktop takes any file and shows a plain desktop for one it
// cannot draw. An HTML file is shown only through the Active Desktop of Windows before Vista,
// switched on first there; later versions have no HTML desktop. Where Active Desktop is refused,
// the picture is rendered at the screen's size into whichever of two bitmaps beside the file the
// desktop does not show, and set through the system's wallpaper setting. False when nothing could
// be set (an HTML file that nothing can show, a broken picture or one too large to decode, a bitmap
// that cannot be written, memory running out): the desktop and curdesktopid stay as they were.
bool ApplyWallpaper(const std::string& path, const std::string& id,
                    WallpaperChoice choice = WallpaperChoice::Automatic);

// Posts the taskbar's command 419 to the shell's taskbar window.
void SendTaskbarCommand();

// Switches Active Desktop on when it is off.
void EnableActiveDesktop();

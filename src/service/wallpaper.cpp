#include "service/wallpaper.h"

// <wininet.h> must come before <shlobj.h>, or IActiveDesktop is not declared.
#include <windows.h>
#include <wininet.h>
#include <shlobj.h>
#include <gdiplus.h>

#include <memory>
#include <vector>

#include "app/forms.h"
#include "app/main_window.h"
#include "components/ansi_text.h"
#include "components/win_handles.h"
#include "settings/keep_schedule.h"
#include "settings/registry_key.h"
#include "settings/settings_record.h"
#include "signin/sign_in.h"

namespace {

constexpr WPARAM kTaskbarCommand = 419;
constexpr DWORD kApplyAll = AD_APPLY_ALL | AD_APPLY_FORCE;  // 15

ComPtr<IActiveDesktop> CreateActiveDesktop() {
    ComPtr<IActiveDesktop> desktop;
    ::CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop,
                       reinterpret_cast<void**>(desktop.put()));
    return desktop;
}

bool SetThroughActiveDesktop(const std::string& path) {
    ComPtr<IActiveDesktop> desktop = CreateActiveDesktop();
    if (!desktop) {
        return false;
    }
    wchar_t widePath[MAX_PATH] = {};
    if (::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH) == 0) {
        return false;
    }
    WALLPAPEROPT options = {sizeof(options), WPSTYLE_STRETCH};
    return SUCCEEDED(desktop->SetWallpaper(widePath, 0)) &&
           SUCCEEDED(desktop->SetWallpaperOptions(&options, 0)) &&
           SUCCEEDED(desktop->ApplyChanges(kApplyAll));
}

bool EncoderClsid(const wchar_t* mimeType, CLSID* clsid) {
    UINT count = 0;
    UINT size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) {
        return false;
    }
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok) {
        return false;
    }
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(encoders[i].MimeType, mimeType) == 0) {
            *clsid = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}

// Draws the picture stretched over the whole primary screen and saves it as a bitmap, which every
// Windows version (and Wine) shows as wallpaper. False when the file is no picture.
bool RenderStretchedBitmap(const std::string& picture, const std::string& bitmap) {
    std::unique_ptr<Gdiplus::Bitmap> source(Gdiplus::Bitmap::FromFile(WidenAnsi(picture).c_str()));
    if (!source || source->GetLastStatus() != Gdiplus::Ok || source->GetWidth() == 0) {
        return false;
    }
    CLSID bmpEncoder;
    if (!EncoderClsid(L"image/bmp", &bmpEncoder)) {
        return false;
    }
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    // The service sends pictures at the size the client asked for, the screen's; those need no
    // drawing at all.
    if (static_cast<int>(source->GetWidth()) != width ||
        static_cast<int>(source->GetHeight()) != height) {
        auto canvas = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat24bppRGB);
        Gdiplus::Graphics graphics(canvas.get());
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        graphics.DrawImage(source.get(), 0, 0, width, height);
        source = std::move(canvas);
    }
    return source->Save(WidenAnsi(bitmap).c_str(), &bmpEncoder, nullptr) == Gdiplus::Ok;
}

void SetSystemWallpaper(const std::string& bitmap) {
    RegistryKey desktop("Control Panel\\Desktop", KEY_WRITE);
    desktop.WriteString("WallpaperStyle", "2");
    desktop.WriteString("TileWallpaper", "0");
    ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(bitmap.c_str()),
                            SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
}

// The bitmap the wallpaper at path is rendered into when Active Desktop is refused.
std::string StretchedBitmapPath(const std::string& path) {
    const size_t folderEnd = path.find_last_of('\\') + 1;
    return path.substr(0, folderEnd) + "wallpaper-desktop.bmp";
}

}  // namespace

void SendTaskbarCommand() {
    ::PostMessageA(::FindWindowA("Shell_TrayWnd", nullptr), WM_COMMAND, kTaskbarCommand, 0);
}

void EnableActiveDesktop() {
    ComPtr<IActiveDesktop> desktop = CreateActiveDesktop();
    COMPONENTSOPT options = {sizeof(options), FALSE, FALSE};
    if (!desktop || FAILED(desktop->GetDesktopItemOptions(&options, 0)) || options.fActiveDesktop) {
        return;
    }
    options.fActiveDesktop = TRUE;
    options.fEnableComponents = FALSE;
    if (SUCCEEDED(desktop->SetDesktopItemOptions(&options, 0))) {
        desktop->ApplyChanges(kApplyAll);
    }
}

bool ApplyWallpaper(const std::string& path, const std::string& id) {
    SetKeepDays("0");
    SendTaskbarCommand();
    // Newer Windows versions refuse to switch Active Desktop on but still set the wallpaper
    // through it, so only a refused wallpaper leads to the bitmap of our own.
    EnableActiveDesktop();
    if (!SetThroughActiveDesktop(path)) {
        const std::string bitmap = StretchedBitmapPath(path);
        if (RenderStretchedBitmap(path, bitmap)) {
            SetSystemWallpaper(bitmap);
        }
    }
    recSETTINGS.curdesktopid = id;
    // The wallpaper items of the tray menu depend on a current wallpaper, which the first one
    // applied only now brings.
    if (frmMain && SignedIn) {
        frmMain->SetMenuState(true);
    }
    return true;
}

#include "service/wallpaper.h"

// <wininet.h> must come before <shlobj.h>, or IActiveDesktop is not declared.
#include <windows.h>
#include <wininet.h>

#include <shlobj.h>
#include <versionhelpers.h>
#include <wincodec.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <vector>

#include "service/service_owner.h"
#include "service/service_state.h"
#include "service/wallpaper_bitmap.h"
#include "service/wallpaper_picture.h"
#include "settings/keep_schedule.h"
#include "settings/registry_key.h"
#include "settings/settings_record.h"
#include "ui/ansi_text.h"
#include "ui/win_handles.h"

namespace {

constexpr WPARAM kTaskbarCommand = 419;
constexpr DWORD kApplyAll = AD_APPLY_ALL | AD_APPLY_FORCE;  // 15

// The system's Active Desktop object, or the one a test put in its place; none where the system's
// is known to set no wallpaper.
ComPtr<IActiveDesktop> CreateActiveDesktop() {
    ComPtr<IActiveDesktop> desktop;
    if (IActiveDesktop* standIn = TheServiceState().activeDesktop) {
        desktop.share(standIn);
        return desktop;
    }
    if (TheServiceState().activeDesktopSetsNoWallpaper) {
        return desktop;
    }
    if (::CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop,
                           reinterpret_cast<void**>(desktop.put())) == REGDB_E_CLASSNOTREG) {
        TheServiceState().activeDesktopSetsNoWallpaper = true;
    }
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
    const HRESULT set = desktop->SetWallpaper(widePath, 0);
    // Wine's object has the method and does nothing (0.4 ms to be told so each time).
    if (set == E_NOTIMPL) {
        TheServiceState().activeDesktopSetsNoWallpaper = true;
    }
    WALLPAPEROPT options = {sizeof(options), WPSTYLE_STRETCH};
    return SUCCEEDED(set) && SUCCEEDED(desktop->SetWallpaperOptions(&options, 0)) &&
           SUCCEEDED(desktop->ApplyChanges(kApplyAll));
}

// The size the picture's header gives, read from the file without decoding anything.
std::optional<PictureSize> PictureSizeInFile(const std::string& path) {
    const UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::nullopt;
    }
    return PictureSizeFromHeader([&](uint64_t offset, uint8_t* to, size_t count) -> size_t {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(offset);
        DWORD read = 0;
        if (!::SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) ||
            !::ReadFile(file.get(), to, static_cast<DWORD>(count), &read, nullptr)) {
            return 0;
        }
        return read;
    });
}

// A picture decoded into pixels by the Windows Imaging Component, which keeps them while the object
// lives and hands them out a few rows at a time to the stretch's two threads. GDI+, which decodes
// through the same component under Wine, took 5 ms more for a 1920 x 1080 JPEG to copy them into
// a bitmap of its own, and the stretch could not read them before that copy had ended. A file
// that only begins like a picture fails here, before any shell call.
class DecodedPicture {
  public:
    explicit DecodedPicture(const std::string& path) {
        const std::optional<PictureSize> size = PictureSizeInFile(path);
        if (!size || !MayDecodePicture(*size)) {
            return;
        }
        ComPtr<IWICImagingFactory> factory;
        ComPtr<IWICBitmapDecoder> decoder;
        ComPtr<IWICBitmapFrameDecode> frame;
        UINT width = 0;
        UINT height = 0;
        WICPixelFormatGUID format = {};
        if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(factory.put()))) ||
            FAILED(factory->CreateDecoderFromFilename(WidenAnsi(path).c_str(), nullptr,
                                                      GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                      decoder.put())) ||
            FAILED(decoder->GetFrame(0, frame.put())) || FAILED(frame->GetSize(&width, &height)) ||
            !MayDecodePicture({width, height}) || FAILED(frame->GetPixelFormat(&format))) {
            return;
        }
        // JPEGs and most BMPs decode to three-byte pixels, read as they are; everything else, such
        // as a palette or transparency, is read premultiplied, which draws it over black.
        const bool threeBytes = IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) != FALSE;
        if (threeBytes) {
            pixels_.share(frame.get());
        } else {
            ComPtr<IWICFormatConverter> converter;
            if (FAILED(factory->CreateFormatConverter(converter.put())) ||
                FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA,
                                             WICBitmapDitherTypeNone, nullptr, 0,
                                             WICBitmapPaletteTypeCustom))) {
                return;
            }
            pixels_.share(converter.get());
        }
        // The last row's pixels, read now: a picture whose data ends early fails before any
        // shell call rather than in the stretch.
        const int pixelBytes = threeBytes ? 3 : 4;
        std::vector<uint8_t> lastRow(size_t(width) * pixelBytes);
        const WICRect last = {0, INT(height) - 1, INT(width), 1};
        if (FAILED(pixels_->CopyPixels(&last, UINT(lastRow.size()), UINT(lastRow.size()),
                                       lastRow.data()))) {
            pixels_.reset();
            return;
        }
        source_ = {int(width), int(height), pixelBytes,
                   [this](int first, int count, uint8_t* to, size_t stride) {
                       return ReadRows(first, count, to, stride);
                   }};
    }
    DecodedPicture(const DecodedPicture&) = delete;
    DecodedPicture& operator=(const DecodedPicture&) = delete;

    // False when the file is no picture, one too large to decode as its header tells, or one
    // whose pixels do not decode.
    explicit operator bool() const { return static_cast<bool>(pixels_); }
    const PictureSource& Source() const { return source_; }

  private:
    // One thread at a time: the stretch's two threads read, and a decoder need not take
    // concurrent calls.
    bool ReadRows(int first, int count, uint8_t* to, size_t stride) {
        const std::lock_guard<std::mutex> lock(reading_);
        const WICRect rows = {0, first, source_.width, count};
        return SUCCEEDED(
            pixels_->CopyPixels(&rows, UINT(stride), UINT(stride * size_t(count)), to));
    }

    ComPtr<IWICBitmapSource> pixels_;
    PictureSource source_;
    std::mutex reading_;
};

// Writes over the file's old bytes rather than replacing the file: each of the two bitmaps keeps
// its size from one wallpaper to the next, and giving the file system back its blocks only to ask
// for them again took five times as long as the writing itself.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size() && ::SetEndOfFile(file.get());
}

bool SetSystemWallpaper(const std::string& bitmap) {
    RegistryKey desktop("Control Panel\\Desktop", KEY_WRITE);
    desktop.WriteString("WallpaperStyle", "2");
    desktop.WriteString("TileWallpaper", "0");
    if (!::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(bitmap.c_str()),
                                 SPIF_UPDATEINIFILE)) {
        return false;
    }
    // The programs that follow the setting hear of it without the client waiting for each of
    // them, as the call's own broadcast would (1.5 of its 3.7 ms under Wine).
    ::SendNotifyMessageA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0);
    return true;
}

// The bitmap the wallpaper at path is rendered into when Active Desktop is refused: of the two
// beside it, the one the desktop does not show, so that a write that fails halfway (a full disk)
// leaves the shown one whole.
std::string StretchedBitmapPath(const std::string& path) {
    const std::string folder = path.substr(0, path.find_last_of('\\') + 1);
    const std::string first = folder + "wallpaper-desktop.bmp";
    char shown[MAX_PATH] = "";
    ::SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof shown, shown, 0);
    return ::lstrcmpiA(shown, first.c_str()) == 0 ? folder + "wallpaper-desktop-2.bmp" : first;
}

// Sets the picture through a bitmap of our own, where Active Desktop refused it: the picture
// stretched over the whole primary screen, which every Windows version (and Wine) shows as
// wallpaper. Its pixels are scaled by the client's own filter: drawing it with GDI+ instead takes
// ten to twenty times as long under Wine.
bool SetStretchedBitmap(const std::string& path, const DecodedPicture& picture) {
    const std::string bitmap = StretchedBitmapPath(path);
    const std::vector<uint8_t> pixels = StretchedBmpFile(
        picture.Source(), ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    return !pixels.empty() && WriteWholeFile(bitmap, pixels) && SetSystemWallpaper(bitmap);
}

// The file of a "url" wallpaper: an HTML document, no picture.
bool IsPage(const std::string& path) {
    const size_t dot = path.find_last_of(".\\");
    return dot != std::string::npos && path[dot] == '.' &&
           ::lstrcmpiA(path.c_str() + dot, ".html") == 0;
}

// Windows before Vista, whose Active Desktop shows HTML and is switched on for every wallpaper.
bool HasHtmlDesktop() {
    return !::IsWindowsVistaOrGreater();
}

// Sets the wallpaper; false when nothing was set.
bool SetWallpaperFile(const std::string& path) {
    // Decoded first, and kept for the bitmap of our own.
    std::unique_ptr<DecodedPicture> picture;
    if (!IsPage(path)) {
        picture = std::make_unique<DecodedPicture>(path);
        if (!*picture) {
            return false;
        }
    } else if (!HasHtmlDesktop()) {
        return false;
    }
    if (HasHtmlDesktop()) {
        EnableActiveDesktop();
    }
    // Newer Windows versions set the wallpaper through Active Desktop without switching it on, so
    // only a refused wallpaper leads to the bitmap of our own.
    return SetThroughActiveDesktop(path) || (picture && SetStretchedBitmap(path, *picture));
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

bool ApplyWallpaper(const std::string& path, const std::string& id, WallpaperChoice choice) {
    SetKeepDays("0");
    // Nothing set keeps the old wallpaper, and with it the id of the old one; so does memory
    // running out on the way.
    try {
        if (!SetWallpaperFile(path)) {
            return false;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    // Shows the desktop and the new wallpaper on it, which only the user asked to see.
    if (choice == WallpaperChoice::Picked) {
        SendTaskbarCommand();
    }
    recSETTINGS.curdesktopid = id;
    if (ServiceOwner* owner = TheServiceOwner()) {
        owner->WallpaperApplied();
    }
    return true;
}

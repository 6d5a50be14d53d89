// Time from a GETONE reply in hand to the wallpaper set, for a 1920 x 1080 JPEG that the stand-in
// service serves on loopback: HandleWallpaperReply with its silent download, then ApplyWallpaper,
// which under Wine renders the picture stretched to the screen into a bitmap and sets that. Set
// against the floor of that work, what no client on this path can avoid, each part timed here:
// the bare download of the same file (plain libcurl into memory), the platform's decoding of the
// picture into pixels (GDI+, as the client decodes it) and the writing of a screen-sized BMP
// (GDI+'s BMP encoder). For a breakdown the client's download alone (the silent download window,
// to a file) and ApplyWallpaper alone on the downloaded file run too. Runs alternate so that all
// see the same conditions; prints the medians and the client's time over the floor.
//
// Then the quality: the same picture, and every picture named after the address, is rendered the
// client's way (into PICTURE.client.bmp) and the way the client rendered it before, drawn by GDI+
// in its high-quality bicubic mode (into PICTURE.gdiplus.bmp), for scripts/bench to compare both
// with ImageMagick's scaling of the picture.
//
//   bench_apply.exe [HOST:PORT [PICTURE...]]     (default: MURLOX_SERVICE)

#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/application_service_owner.h"
#include "bench_stats.h"
#include "client_harness.h"
#include "service/download_window.h"
#include "service/service_owner.h"
#include "service/wallpaper.h"
#include "service/wallpaper_request.h"
#include "settings/settings_record.h"
#include "signin/sign_in.h"
#include "ui/prompt.h"
#include "ui/win_handles.h"
#include "ui/window.h"

namespace {

constexpr const char* kPicturePath = "/murlos/1001-1920x1080.jpg";
constexpr const char* kPictureId = "1001";
constexpr int kRuns = 9;
constexpr double kGoal = 1.5;  // the client takes at most 1.5 times the floor

size_t Append(char* data, size_t size, size_t count, void* body) {
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

std::string BareDownload(const std::string& url) {
    std::string body;
    CURL* easy = curl_easy_init();
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Append);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    const CURLcode result = curl_easy_perform(easy);
    curl_easy_cleanup(easy);
    if (result != CURLE_OK) {
        throw std::runtime_error(std::string("bare download: ") + curl_easy_strerror(result));
    }
    return body;
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// The platform's decoding of the picture into pixels: GDI+ reads the file and hands out its
// pixels in the format they decoded to.
void DecodeWithGdiplus(const std::string& path) {
    Gdiplus::Bitmap picture(Wide(path).c_str());
    const Gdiplus::Rect whole(0, 0, picture.GetWidth(), picture.GetHeight());
    Gdiplus::BitmapData pixels;
    if (picture.GetLastStatus() != Gdiplus::Ok || whole.Width == 0 ||
        picture.LockBits(&whole, Gdiplus::ImageLockModeRead, picture.GetPixelFormat(), &pixels) !=
            Gdiplus::Ok) {
        throw std::runtime_error("GDI+ cannot decode " + path);
    }
    picture.UnlockBits(&pixels);
}

// The platform's writing of a screen-sized 24-bit BMP, and its drawing of a picture into it.
class ScreenSizedBmpWriter {
  public:
    ScreenSizedBmpWriter()
        : screen_(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                  PixelFormat24bppRGB) {
        UINT count = 0;
        UINT size = 0;
        Gdiplus::GetImageEncodersSize(&count, &size);
        std::vector<BYTE> buffer(size);
        auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
        if (size == 0 || Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok) {
            throw std::runtime_error("GDI+ has no image encoders");
        }
        for (UINT i = 0; i < count; ++i) {
            if (wcscmp(encoders[i].MimeType, L"image/bmp") == 0) {
                bmpEncoder_ = encoders[i].Clsid;
                return;
            }
        }
        throw std::runtime_error("GDI+ has no BMP encoder");
    }

    void Write(const std::string& path) {
        if (screen_.Save(Wide(path).c_str(), &bmpEncoder_, nullptr) != Gdiplus::Ok) {
            throw std::runtime_error("GDI+ cannot write " + path);
        }
    }

    // Stretched over the whole bitmap as the client drew wallpapers before.
    void DrawStretched(const std::string& path) {
        Gdiplus::Bitmap picture(Wide(path).c_str());
        Gdiplus::Graphics graphics(&screen_);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        if (picture.GetLastStatus() != Gdiplus::Ok ||
            graphics.DrawImage(&picture, 0, 0, screen_.GetWidth(), screen_.GetHeight()) !=
                Gdiplus::Ok) {
            throw std::runtime_error("GDI+ cannot draw " + path);
        }
    }

  private:
    Gdiplus::Bitmap screen_;
    CLSID bmpEncoder_ = {};
};

std::string WallpaperOfThisProcess() {
    char path[MAX_PATH] = "";
    ::SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof path, path, 0);
    return path;
}

// The client's own work in a signed-in session, which its exchanges report to as the client's do,
// with every message box it would show recorded instead.
class ClientUnderTest {
  public:
    ClientUnderTest(const std::string& url, const std::string& folder)
        : url_(url),
          folder_(folder),
          reply_("<?xml version=\"1.0\"?><reply><url>" + url + "</url><id>" + kPictureId +
                 "</id><type>jpg</type></reply>"),
          answers_({[this](const std::string& text, UINT) {
                        messages_.push_back(text);
                        return IDOK;
                    },
                    nullptr}) {
        recSETTINGS.programfolder = folder;
        // A reply is acted on only within the signed-in session it was asked for: one stands
        // here as in the client's tests, from a fresh sign-in state.
        ResetSignInState();
        SignedIn = true;
        if (!TheServiceOwner() || TheServiceOwner()->StandingSession() == 0) {
            throw std::runtime_error("no signed-in session stands for the exchanges");
        }
    }

    // Each times the client's work alone: the desktop is reset before it and checked after it.
    double HandleReply() {
        return Timed("HandleWallpaperReply",
                     [&] { HandleWallpaperReply(reply_, nullptr, /*silent=*/true); });
    }

    double DownloadOnly() {
        Prepare();
        const Clock::time_point start = Clock::now();
        {
            TfrmDownloader downloader(nullptr);
            downloader.StartDownload(url_, folder_ + "download-only.jpg", /*silent=*/true);
            if (downloader.ModalResult() != kModalDone) {
                throw std::runtime_error("the download window's download failed");
            }
        }
        return MillisecondsSince(start);
    }

    double ApplyOnly() {
        return Timed("ApplyWallpaper",
                     [&] { ApplyWallpaper(folder_ + "wallpaper.jpg", kPictureId); });
    }

  private:
    template <typename Work>
    double Timed(const std::string& what, Work work) {
        Prepare();
        const Clock::time_point start = Clock::now();
        work();
        const double elapsed = MillisecondsSince(start);
        Check(what);
        return elapsed;
    }

    void Prepare() {
        recSETTINGS.curdesktopid = "0";
        ClearDesktopWallpaper();
        messages_.clear();
    }

    void Check(const std::string& what) const {
        if (!messages_.empty()) {
            throw std::runtime_error(what + " said: " + messages_.front());
        }
        if (recSETTINGS.curdesktopid != kPictureId ||
            !NamesRenderedWallpaper(WallpaperOfThisProcess())) {
            throw std::runtime_error(what + " set no wallpaper (desktop: \"" +
                                     WallpaperOfThisProcess() + "\")");
        }
    }

    std::string url_;
    std::string folder_;
    std::string reply_;
    std::vector<std::string> messages_;
    PromptAnswerScope answers_;
    ApplicationServiceOwner owner_;
    ServiceOwnerScope ownerScope_{owner_};
};

// The picture rendered for the desktop the client's way and GDI+'s, beside the picture.
void RenderBothWays(const std::string& picture, ScreenSizedBmpWriter& bmpWriter) {
    if (!ApplyWallpaper(picture, kPictureId) ||
        !::CopyFileA(WallpaperOfThisProcess().c_str(), (picture + ".client.bmp").c_str(), FALSE)) {
        throw std::runtime_error("the client rendered no bitmap for " + picture);
    }
    bmpWriter.DrawStretched(picture);
    bmpWriter.Write(picture + ".gdiplus.bmp");
}

template <typename Work>
double Time(Work work) {
    const Clock::time_point start = Clock::now();
    work();
    return MillisecondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
    // As the client's process: COM and GDI+ for the user-interface thread.
    const ComInitialization com;
    const GdiplusInitialization gdiplus;
    if (!StartGdiplus()) {
        std::printf("failed: GDI+ does not start\n");
        return 1;
    }
    curl_global_init(CURL_GLOBAL_DEFAULT);
    std::vector<double> bare;
    std::vector<double> decode;
    std::vector<double> writeBmp;
    std::vector<double> floor;
    std::vector<double> client;
    std::vector<double> clientDownload;
    std::vector<double> apply;
    size_t bytes = 0;
    std::vector<std::string> compared;
    try {
        const std::string url = "http://" + ServiceAddressFrom(argc, argv) + kPicturePath;
        const std::string folder = BesideThisProgram("bench-apply\\");
        ::CreateDirectoryA(folder.c_str(), nullptr);
        ClientUnderTest clientUnderTest(url, folder);
        ScreenSizedBmpWriter bmpWriter;
        const std::string floorPicture = folder + "floor-picture.jpg";
        const std::string floorBmp = folder + "floor-desktop.bmp";
        // Warm-up, not counted: the stand-in draws the picture once, GDI+ loads its codecs.
        const std::string picture = BareDownload(url);
        bytes = picture.size();
        std::ofstream(floorPicture, std::ios::binary) << picture;
        DecodeWithGdiplus(floorPicture);
        bmpWriter.Write(floorBmp);
        clientUnderTest.HandleReply();
        for (int run = 0; run < Runs(kRuns); ++run) {
            bare.push_back(Time([&] { BareDownload(url); }));
            decode.push_back(Time([&] { DecodeWithGdiplus(floorPicture); }));
            writeBmp.push_back(Time([&] { bmpWriter.Write(floorBmp); }));
            floor.push_back(bare.back() + decode.back() + writeBmp.back());
            client.push_back(clientUnderTest.HandleReply());
            clientDownload.push_back(clientUnderTest.DownloadOnly());
            apply.push_back(clientUnderTest.ApplyOnly());
        }
        compared.push_back(floorPicture);
        compared.insert(compared.end(), argv + std::min(argc, 2), argv + argc);
        for (const std::string& picture : compared) {
            RenderBothWays(picture, bmpWriter);
        }
    } catch (const std::exception& error) {
        std::printf("failed: %s\n", error.what());
        return 1;
    }
    const double ratio = Median(client) / Median(floor);
    std::printf(
        "1920 x 1080 JPEG of %zu bytes from the stand-in on loopback, screen %d x %d, "
        "%d runs each, alternating (ms)\n",
        bytes, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), Runs(kRuns));
    std::printf("floor, the sum of the three below:       median %7.1f  (%s)\n", Median(floor),
                List(floor, 1).c_str());
    std::printf("  bare download (libcurl into memory):   median %7.1f  (%s)\n", Median(bare),
                List(bare, 1).c_str());
    std::printf("  decoding into pixels (GDI+):           median %7.1f  (%s)\n", Median(decode),
                List(decode, 1).c_str());
    std::printf("  writing the screen-sized BMP (GDI+):   median %7.1f  (%s)\n", Median(writeBmp),
                List(writeBmp, 1).c_str());
    std::printf("client, reply to wallpaper set:          median %7.1f  (%s)\n", Median(client),
                List(client, 1).c_str());
    std::printf("  the client's silent download alone:    median %7.1f  (%s)\n",
                Median(clientDownload), List(clientDownload, 1).c_str());
    std::printf("  ApplyWallpaper alone (render and set): median %7.1f  (%s)\n", Median(apply),
                List(apply, 1).c_str());
    std::printf("client over the floor %.2fx (goal at most %.2fx: %s)\n", ratio, kGoal,
                AtMost(ratio, kGoal));
    for (const std::string& picture : compared) {
        std::printf("rendered both ways: %s\n", picture.c_str());
    }
    return 0;
}

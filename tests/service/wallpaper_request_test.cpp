// From a wallpaper reply to the wallpaper on the desktop, against the stand-in service.

#include "service/wallpaper_request.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <iterator>

#include "service/download_window.h"
#include "service/http_client.h"
#include "service/http_setup.h"
#include "service/wallpaper.h"
#include "settings/registry_key.h"
#include "settings/settings_record.h"
#include "settings/settings_store.h"
#include "signin/sign_in.h"
#include "support/active_desktop_stand_in.h"
#include "support/taskbar_commands.h"
#include "support/wine_test_fixture.h"
#include "ui/modal.h"
#include "ui/win_handles.h"
#include "ui/win_paths.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A picture of two halves saved with GDI+'s encoder for the MIME type: the left one opaque in
// `left`, the right one in `right` (ARGB, so it may be transparent); a picture one pixel wide is
// all `left`.
void SaveTwoHalves(const std::string& path, const wchar_t* mimeType, Gdiplus::PixelFormat format,
                   Gdiplus::ARGB left, Gdiplus::ARGB right, int width = 40, int height = 30) {
    ASSERT_TRUE(StartGdiplus());
    Gdiplus::Bitmap picture(width, height, format);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.SetPixel(x, y, Gdiplus::Color(2 * x < width ? left : right));
        }
    }
    UINT count = 0;
    UINT size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(encoders[i].MimeType, mimeType) == 0) {
            const std::wstring widePath(path.begin(), path.end());
            ASSERT_EQ(picture.Save(widePath.c_str(), &encoders[i].Clsid, nullptr), Gdiplus::Ok);
            return;
        }
    }
    FAIL() << "no encoder for the picture";
}

// Blue, green, red of pixel (x, y) of a 24-bit bottom-up BMP file's bytes.
std::array<int, 3> BmpPixel(const std::string& bytes, int x, int y) {
    int32_t width = 0;
    int32_t height = 0;
    std::memcpy(&width, bytes.data() + 18, 4);
    std::memcpy(&height, bytes.data() + 22, 4);
    const size_t stride = (size_t(width) * 3 + 3) / 4 * 4;
    const size_t at = 54 + size_t(height - 1 - y) * stride + size_t(x) * 3;
    return {uint8_t(bytes[at]), uint8_t(bytes[at + 1]), uint8_t(bytes[at + 2])};
}

std::string DesktopWallpaper() {
    char path[MAX_PATH] = "";
    ::SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof(path), path, 0);
    return path;
}

class WallpaperTest : public ClientTest {
  protected:
    void SetUp() override {
        ClientTest::SetUp();
        folder_ = ProgramFolder() + "wallpaper-test\\";
        ::CreateDirectoryA(folder_.c_str(), nullptr);
        for (const char* name :
             {"wallpaper.jpg", "wallpaper.JPG", "wallpaper.html", "wallpaper.bmp", "wallpaper.png",
              "wallpaper-desktop.bmp", "wallpaper-desktop-2.bmp"}) {
            ::DeleteFileA((folder_ + name).c_str());
        }
        recSETTINGS.programfolder = folder_;
        RegistryKey(kSettingsKeyPath, KEY_WRITE).WriteString("keepdaysenabled", "1");
    }

    // A download URL of the stand-in's catalogue, at a small size.
    std::string PicturePath(const std::string& id, const std::string& ext) const {
        return "/murlos/" + id + "-64x48." + ext;
    }
    std::string Reply(const std::string& url, const std::string& id,
                      const std::string& type) const {
        return "<reply><url>" + url + "</url><id>" + id + "</id><type>" + type + "</type></reply>";
    }
    // A reply naming the id and type given, for a JPEG picture of the stand-in.
    std::string PictureReply(const std::string& id, const std::string& type) const {
        return Reply(service().Url(PicturePath("1001", "jpg")), id, type);
    }

    std::string folder_;
};

TEST_F(WallpaperTest, EachFaultOfTheReplyIsToldWithItsOwnMessage) {
    const std::string noUrl = "<reply><id>1</id><type>jpg</type></reply>";
    const std::string noId = "<reply><url>x</url><type>jpg</type></reply>";
    const std::string noType = "<reply><url>x</url><id>1</id></reply>";
    for (const std::string& reply :
         {std::string("error"), std::string("<reply><url>"), noUrl, noId, noType}) {
        EXPECT_TRUE(HandleWallpaperReply(reply, nullptr, true));
    }
    EXPECT_EQ(messages,
              (std::vector<std::string>{"Error parsing server response. please try again later",
                                        "Error parsing server response. please try again later",
                                        "Given download URL is empty!!!, reply was " + noUrl,
                                        "Given currentdesktopid is empty!!!, reply was " + noId,
                                        "Missing wallpaper filetype!!!, reply was " + noType}));
    EXPECT_EQ(service().RequestCount(), 0);
    EXPECT_EQ(recSETTINGS.curdesktopid, "0");
}

TEST_F(WallpaperTest, ATypeThatIsNoPictureKindIsRefusedAndNothingIsDownloaded) {
    // Into the folder above the wallpaper folder, where the download has no business.
    const std::string escaped = ProgramFolder() + "escaped";
    ::DeleteFileA(escaped.c_str());
    EXPECT_TRUE(HandleWallpaperReply(PictureReply("1001", "x\\..\\..\\escaped"), nullptr, true));
    EXPECT_TRUE(HandleWallpaperReply(PictureReply("1001", "jpg|x"), nullptr, true));
    // A shortcut Explorer would follow as soon as it shows the folder.
    EXPECT_TRUE(HandleWallpaperReply(PictureReply("1001", "lnk"), nullptr, true));
    const std::string unreadable =
        "There was an error while parsing the server response, please try again later "
        "(sorry!)\r\nError code: 1";
    EXPECT_EQ(messages, (std::vector<std::string>{unreadable, unreadable, unreadable}));
    EXPECT_EQ(service().RequestCount(), 0);
    EXPECT_FALSE(Exists(escaped));
    EXPECT_FALSE(Exists(folder_ + "wallpaper.lnk"));
    EXPECT_EQ(recSETTINGS.curdesktopid, "0");
}

TEST_F(WallpaperTest, AnErrorCodeDownloadsNothingAndSaysNothing) {
    const std::string reply = "<reply><errorcode>4</errorcode><url>" +
                              service().Url(PicturePath("1001", "jpg")) +
                              "</url><id>1001</id><type>jpg</type></reply>";
    EXPECT_TRUE(HandleWallpaperReply(reply, nullptr, true));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(service().RequestCount(), 0);
    EXPECT_FALSE(Exists(folder_ + "wallpaper.jpg"));
}

TEST_F(WallpaperTest, TheCurrentWallpaperEndsStretchedOnTheDesktop) {
    service().SetFault(R"({"kind": "body", "count": 1, "body": ")" + PictureReply("1009", "jpg") +
                       R"("})");
    ASSERT_TRUE(RequestCurrentWallpaper(nullptr));
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(Exists(folder_ + "wallpaper.jpg"));
    EXPECT_EQ(recSETTINGS.curdesktopid, "1009");
    EXPECT_EQ(RegistryKey(kSettingsKeyPath, KEY_READ).ReadString("keepdaysenabled"), "0");

    const std::string bitmap = folder_ + "wallpaper-desktop.bmp";
    EXPECT_EQ(DesktopWallpaper(), bitmap);
    const std::string bytes = ReadFile(bitmap);
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    int32_t width = 0;
    int32_t height = 0;
    std::memcpy(&width, bytes.data() + 18, 4);
    std::memcpy(&height, bytes.data() + 22, 4);
    EXPECT_EQ(width, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(std::abs(height), ::GetSystemMetrics(SM_CYSCREEN));
    const RegistryKey desktop("Control Panel\\Desktop", KEY_READ);
    EXPECT_EQ(desktop.ReadString("WallpaperStyle"), "2");
    EXPECT_EQ(desktop.ReadString("TileWallpaper"), "0");
}

TEST_F(WallpaperTest, TheRenderedBitmapShowsThePictureStretchedAndTransparencyAsBlack) {
    struct Case {
        const char* file;
        const wchar_t* mimeType;
        Gdiplus::PixelFormat format;
        Gdiplus::ARGB right;
        std::array<int, 3> rightShown;
    };
    const Gdiplus::ARGB pink = 0xFFC8285A;  // opaque red 200, green 40, blue 90
    const std::array<int, 3> pinkShown = {90, 40, 200};
    for (const Case& c :
         {Case{"wallpaper.bmp", L"image/bmp", PixelFormat24bppRGB, 0xFF10E0F0, {0xF0, 0xE0, 0x10}},
          Case{"wallpaper.png", L"image/png", PixelFormat32bppARGB, 0x00FFFFFF, {0, 0, 0}}}) {
        const std::string picture = folder_ + c.file;
        SaveTwoHalves(picture, c.mimeType, c.format, pink, c.right);
        // A larger bitmap left from before must not keep its tail.
        for (const char* bitmap : {"wallpaper-desktop.bmp", "wallpaper-desktop-2.bmp"}) {
            std::ofstream(folder_ + bitmap, std::ios::binary) << std::string(8 << 20, 'x');
        }
        ASSERT_TRUE(ApplyWallpaper(picture, "5"));

        const std::string bytes = ReadFile(DesktopWallpaper());
        const int width = ::GetSystemMetrics(SM_CXSCREEN);
        const int height = ::GetSystemMetrics(SM_CYSCREEN);
        ASSERT_EQ(bytes.size(), 54 + (size_t(width) * 3 + 3) / 4 * 4 * height) << c.file;
        for (const int y : {2, height / 2, height - 3}) {
            EXPECT_EQ(BmpPixel(bytes, 2, y), pinkShown) << c.file << " at row " << y;
            // The edge in the middle is drawn smooth, over a band of a few of the picture's pixels.
            EXPECT_EQ(BmpPixel(bytes, width / 4, y), pinkShown) << c.file;
            EXPECT_EQ(BmpPixel(bytes, width * 3 / 4, y), c.rightShown) << c.file;
            EXPECT_EQ(BmpPixel(bytes, width - 3, y), c.rightShown) << c.file;
        }
    }
}

TEST_F(WallpaperTest, AVeryTallPictureIsStretchedInLittleMemory) {
    // 1 x 300000 pixels, a PNG of a few kilobytes; stretched to the screen, each of the screen's
    // rows averages hundreds of the picture's.
    const std::string picture = folder_ + "wallpaper.png";
    SaveTwoHalves(picture, L"image/png", PixelFormat24bppRGB, 0xFFC8285A, 0xFF10E0F0, 1, 300000);
    const auto memory = [] {
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof(counters);
        EXPECT_TRUE(::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters)));
        return counters;
    };
    const PROCESS_MEMORY_COUNTERS before = memory();

    ASSERT_TRUE(ApplyWallpaper(picture, "5"));
    const PROCESS_MEMORY_COUNTERS after = memory();
    const std::string bytes = ReadFile(DesktopWallpaper());
    ASSERT_EQ(bytes.size(), 54 + (size_t(::GetSystemMetrics(SM_CXSCREEN)) * 3 + 3) / 4 * 4 *
                                     ::GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(BmpPixel(bytes, 0, 2), (std::array<int, 3>{90, 40, 200}));
    // The peak rose, if at all, by less than 64 MB over what the process held before.
    constexpr size_t kMostAdded = size_t{64} << 20;
    EXPECT_LE(after.PeakWorkingSetSize,
              std::max(before.PeakWorkingSetSize, before.WorkingSetSize + kMostAdded))
        << "held " << (before.WorkingSetSize >> 20) << " MB before";
}

TEST_F(WallpaperTest, TheNewBitmapGoesToTheOneNotShownAndAFailedWriteLeavesTheShownOneWhole) {
    const std::string first = folder_ + "wallpaper.bmp";
    const std::string second = folder_ + "wallpaper.png";
    SaveTwoHalves(first, L"image/bmp", PixelFormat24bppRGB, 0xFFC8285A, 0xFF10E0F0);
    SaveTwoHalves(second, L"image/png", PixelFormat24bppRGB, 0xFF10E0F0, 0xFFC8285A);
    ASSERT_TRUE(ApplyWallpaper(first, "5"));
    const std::string shown = DesktopWallpaper();
    const std::string shownBytes = ReadFile(shown);
    const std::string other =
        folder_ + (shown == folder_ + "wallpaper-desktop.bmp" ? "wallpaper-desktop-2.bmp"
                                                              : "wallpaper-desktop.bmp");

    // The other one cannot be written: nothing changes.
    ASSERT_TRUE(::CreateDirectoryA(other.c_str(), nullptr));
    EXPECT_FALSE(ApplyWallpaper(second, "6"));
    ::RemoveDirectoryA(other.c_str());
    EXPECT_EQ(DesktopWallpaper(), shown);
    EXPECT_TRUE(ReadFile(shown) == shownBytes) << "the shown one is left as it was";
    EXPECT_EQ(recSETTINGS.curdesktopid, "5");

    ASSERT_TRUE(ApplyWallpaper(second, "6"));
    ASSERT_EQ(DesktopWallpaper(), other);
    EXPECT_EQ(BmpPixel(ReadFile(other), 2, 2), (std::array<int, 3>{0xF0, 0xE0, 0x10}));
    EXPECT_TRUE(ReadFile(shown) == shownBytes) << "the one shown before is left as it was";
    ASSERT_TRUE(ApplyWallpaper(first, "5"));
    EXPECT_EQ(DesktopWallpaper(), shown) << "and is the next one written";
}

TEST_F(WallpaperTest, TheTypeNamesTheFileAndTheReplysIdIsKept) {
    // Windows takes any file through Active Desktop, and shows a plain desktop for one it cannot
    // draw.
    const ActiveDesktopForTesting windows;
    ASSERT_TRUE(HandleWallpaperReply(PictureReply("777", "JPG"), nullptr, true));
    EXPECT_TRUE(Exists(folder_ + "wallpaper.JPG"));
    EXPECT_EQ(recSETTINGS.curdesktopid, "777");
    const std::string shown = folder_ + "wallpaper.JPG";
    EXPECT_EQ(windows.wallpaper, std::wstring(shown.begin(), shown.end()));
    EXPECT_EQ(windows.applies, 1) << "set once, Active Desktop left off";

    const std::string before = DesktopWallpaper();
    const std::string page = Reply(service().Url("/murlos/1012-64x48.html"), "1012", "URL");
    ASSERT_TRUE(HandleWallpaperReply(page, nullptr, false));
    EXPECT_NE(ReadFile(folder_ + "wallpaper.html").find("<html"), std::string::npos);
    // A network's sign-in page that answered for the picture.
    service().SetFault(R"({"kind": "body", "count": 1, "path": ")" + PicturePath("1004", "jpg") +
                       R"(", "body": "<html>Sign in to the hotel's network</html>"})");
    ASSERT_TRUE(HandleWallpaperReply(
        Reply(service().Url(PicturePath("1004", "jpg")), "1004", "jpg"), nullptr, true));
    EXPECT_EQ(DesktopWallpaper(), before) << "no desktop since Vista can show a page as wallpaper";
    EXPECT_EQ(windows.wallpaper, std::wstring(shown.begin(), shown.end()));
    EXPECT_EQ(windows.applies, 1);
    EXPECT_EQ(recSETTINGS.curdesktopid, "777") << "so the shown one keeps its id";
    EXPECT_EQ(modalWindows, std::vector<std::string>{"TfrmDownloader"});
}

TEST_F(WallpaperTest, OnlyAPickedWallpaperShowsTheDesktop) {
    TaskbarCommands taskbar;
    ASSERT_TRUE(taskbar.Watching());
    // The sign-in's wallpaper, as the hourly check and a resume ask for it too.
    service().SetFault(R"({"kind": "body", "count": 1, "body": ")" + PictureReply("1009", "jpg") +
                       R"("})");
    ASSERT_TRUE(RequestCurrentWallpaper(nullptr));
    ASSERT_EQ(recSETTINGS.curdesktopid, "1009");
    EXPECT_EQ(taskbar.Taken(), std::vector<unsigned>{}) << "the user's windows stay as they are";

    service().SetFault(R"({"kind": "body", "count": 1, "body": ")" + PictureReply("1002", "jpg") +
                       R"("})");
    ASSERT_TRUE(RequestNewWallpaper("1002", nullptr));
    ASSERT_EQ(recSETTINGS.curdesktopid, "1002");
    EXPECT_EQ(taskbar.Taken(), std::vector<unsigned>{419}) << "the desktop is shown";
}

TEST_F(WallpaperTest, AFailedDownloadLeavesTheCurrentWallpaperIntact) {
    ASSERT_TRUE(HandleWallpaperReply(PictureReply("1001", "jpg"), nullptr, true));
    const std::string good = ReadFile(folder_ + "wallpaper.jpg");
    ASSERT_FALSE(good.empty());

    service().SetFault(R"({"kind": "drop", "count": 1, "path": ")" + PicturePath("1004", "jpg") +
                       R"("})");
    const std::string broken = Reply(service().Url(PicturePath("1004", "jpg")), "1004", "jpg");
    EXPECT_TRUE(HandleWallpaperReply(broken, nullptr, true));
    EXPECT_EQ(messages, std::vector<std::string>{kDownloadFailedMessage});
    EXPECT_EQ(ReadFile(folder_ + "wallpaper.jpg"), good);
    EXPECT_EQ(recSETTINGS.curdesktopid, "1001");

    EXPECT_TRUE(HandleWallpaperReply(broken, nullptr, true));
    EXPECT_EQ(recSETTINGS.curdesktopid, "1004");
    EXPECT_NE(ReadFile(folder_ + "wallpaper.jpg"), good);
}

TEST_F(WallpaperTest, AHostNameTooLongForTheSocks5ProxyFailsLikeAnyDownload) {
    UseProxy("socks5", services().socksPort);
    recSETTINGS.curdesktopid = "1001";
    // A reply can name any address; the proxy resolves names, and takes at most 255 bytes.
    const std::string url = "http://" + std::string(300, 'a') + ".test/murlos/1004-64x48.jpg";
    try {
        HttpClient client;
        ConfigureHttpClient(client);
        client.Get(url);
        ADD_FAILURE() << "no error";
    } catch (const HttpError& error) {
        EXPECT_NE(std::string(error.what()).find("SOCKS5: the destination hostname is too long"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_TRUE(HandleWallpaperReply(Reply(url, "1004", "jpg"), nullptr, true));
    EXPECT_EQ(messages, std::vector<std::string>{kDownloadFailedMessage});
    EXPECT_EQ(recSETTINGS.curdesktopid, "1001");
    EXPECT_TRUE(SignedIn);
    ASSERT_TRUE(HandleWallpaperReply(PictureReply("1002", "jpg"), nullptr, true));
    EXPECT_EQ(recSETTINGS.curdesktopid, "1002") << "the next download through it works";
}

TEST_F(WallpaperTest, AnUnwritableProgramFolderSendsTheDownloadToThePerUserFolder) {
    recSETTINGS.programfolder = "C:\\no-such-folder\\";
    char localAppData[MAX_PATH] = "";
    ::GetEnvironmentVariableA("LOCALAPPDATA", localAppData, MAX_PATH);
    const std::string expected = std::string(localAppData) + "\\MURLOX\\";
    EXPECT_EQ(WallpaperFolder(), expected);
    ASSERT_TRUE(HandleWallpaperReply(PictureReply("1002", "jpg"), nullptr, true));
    EXPECT_TRUE(Exists(expected + "wallpaper.jpg"));
}

HWND closeTarget = nullptr;
UINT_PTR closeTimer = 0;
bool closedFromOutside = false;
void CALLBACK CloseOnce(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    closedFromOutside = true;
    ::PostMessageA(closeTarget, WM_CLOSE, 0, 0);
}

// Runs a shown download window for real, answering its messages; a window still open after
// `closeAfterMs` is closed as its user would.
PromptAnswers RealDownloadWindow(std::vector<std::string>& messages, UINT closeAfterMs) {
    return {[&messages](const std::string& text, UINT) {
                messages.push_back(text);
                return IDOK;
            },
            [closeAfterMs](Window& window) {
                closeTarget = window.hwnd();
                closedFromOutside = false;
                closeTimer = ::SetTimer(nullptr, 0, closeAfterMs, &CloseOnce);
                const int result = RunModalLoop(window);
                ::KillTimer(nullptr, closeTimer);
                return result;
            }};
}

TEST_F(WallpaperTest, ATargetThatCannotBeCreatedFailsAsADownloadAndTheNextOneRuns) {
    const std::string blocked = folder_ + "wallpaper.jpg.download";
    ::CreateDirectoryA(blocked.c_str(), nullptr);
    {
        const PromptAnswerScope answers(RealDownloadWindow(messages, 10000));
        EXPECT_TRUE(HandleWallpaperReply(PictureReply("1001", "jpg"), nullptr, false));
        EXPECT_FALSE(closedFromOutside) << "the window ended by itself";
    }
    ::RemoveDirectoryA(blocked.c_str());
    EXPECT_EQ(messages, std::vector<std::string>{kDownloadFailedMessage});
    EXPECT_FALSE(TfrmDownloader::Exists());
    EXPECT_EQ(recSETTINGS.curdesktopid, "0");
    ASSERT_TRUE(HandleWallpaperReply(PictureReply("1002", "jpg"), nullptr, true));
    EXPECT_EQ(recSETTINGS.curdesktopid, "1002");
}

TEST_F(WallpaperTest, AnExchangeFailureOrAnErrorReplyIsNoWallpaper) {
    service().SetFault(R"({"kind": "body", "body": "\r\nerror\r\n", "count": 1})");
    EXPECT_FALSE(RequestCurrentWallpaper(nullptr));
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(modalWindows.empty());
    service().SetFault(R"({"kind": "empty", "count": 1})");
    EXPECT_FALSE(RequestNewWallpaper("1003", nullptr));
    EXPECT_EQ(messages, std::vector<std::string>{"No new wallpaper available"});
}

TEST_F(WallpaperTest, WithoutContentLengthTheGaugeHasNoMaximum) {
    service().SetFault(R"({"kind": "no_length", "count": 1})");
    TfrmDownloader downloader(nullptr);
    downloader.StartDownload(service().Url(PicturePath("1001", "jpg")), folder_ + "wallpaper.jpg",
                             true);
    EXPECT_EQ(downloader.ModalResult(), kModalDone);
    EXPECT_EQ(downloader.prog().MaxValue(), 0);
    EXPECT_EQ(downloader.prog().PercentDone(), 0);
    EXPECT_TRUE(Exists(folder_ + "wallpaper.jpg"));
}

TEST_F(WallpaperTest, AShownDownloadClosedAtOnceDownloadsNothing) {
    TfrmDownloader downloader(nullptr);
    downloader.StartDownload(service().Url(PicturePath("1001", "jpg")), folder_ + "wallpaper.jpg",
                             false);
    ::PostMessageA(downloader.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(ShowModal(downloader), kModalFailed);
    EXPECT_EQ(service().RequestCount(), 0);
    EXPECT_FALSE(Exists(folder_ + "wallpaper.jpg"));
}

TEST_F(WallpaperTest, AShownDownloadClosedDuringTheTransferAppliesNothing) {
    recSETTINGS.curdesktopid = "1004";
    const std::string path = PicturePath("1001", "jpg");
    service().SetFault(R"({"kind": "delay", "seconds": 2, "count": 1, "path": ")" + path + R"("})");
    const std::string before = DesktopWallpaper();
    const PromptAnswerScope closeIt(RealDownloadWindow(messages, 900));
    ASSERT_TRUE(HandleWallpaperReply(Reply(service().Url(path), "1001", "jpg"), nullptr, false));
    EXPECT_FALSE(Exists(folder_ + "wallpaper.jpg"));
    EXPECT_FALSE(Exists(folder_ + "wallpaper.jpg.download")) << "the partial file is deleted";
    EXPECT_EQ(recSETTINGS.curdesktopid, "1004");
    EXPECT_EQ(DesktopWallpaper(), before);
    EXPECT_TRUE(messages.empty()) << "the user closed it: nothing failed";
}

}  // namespace

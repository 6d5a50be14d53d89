// Every exchange the client makes against every fault the stand-in service can play, through the
// client's real code: each ends in the state its failure handling gives, within its timeout, and
// leaves the wallpaper file, the current wallpaper id and the registry as they were wherever
// nothing is to be written.

#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "service/download_window.h"
#include "service/http_client.h"
#include "service/session_pages.h"
#include "service/wallpaper_request.h"
#include "settings/keep_schedule.h"
#include "settings/settings_record.h"
#include "settings/settings_store.h"
#include "signin/sign_in.h"
#include "support/http_limits_scope.h"
#include "support/program_state.h"
#include "support/wine_test_fixture.h"
#include "ui/win_paths.h"

namespace {

using std::chrono::milliseconds;

const std::string kParseError = "Error parsing server response. please try again later";

struct Fault {
    const char* name;
    const char* json;    // the stand-in's fault, without its path
    bool exchangeFails;  // the transport reports a failure; otherwise a 200 with a useless body
};

// A silent server is given up after 1.5 s here; an oversized body comes without a length, so the
// client has to count.
const Fault kFaults[] = {
    {"refused", R"("kind": "refuse")", true},
    {"silent", R"("kind": "silent")", true},
    {"reset mid-body", R"("kind": "drop")", true},
    {"302", R"("kind": "status", "status": 302)", true},
    {"404", R"("kind": "status", "status": 404)", true},
    {"500", R"("kind": "status", "status": 500)", true},
    {"empty body", R"("kind": "empty")", false},
    {"broken XML", R"("kind": "broken_xml")", false},
    {"oversized body", R"("kind": "oversized", "with_length": false)", true},
};

// Where the client ends after one exchange.
struct Outcome {
    bool signedIn = true;
    std::vector<std::string> messages;
    std::vector<std::string> modalWindows;
    // The downloaded body became the wallpaper file and the keep schedule was cleared in the
    // registry. No body here is a picture, so none is set and the current id stays.
    bool wallpaperWritten = false;
};

// One exchange of the client: the stand-in path its faults go to, how the client runs it, and
// what each fault leaves.
struct Exchange {
    const char* name;
    const char* path;
    std::function<void()> run;
    std::function<Outcome(const Fault&)> expected;
};

const char* const kDownloadPath = "/murlos/1004-64x48.jpg";

class FaultMatrixTest : public ClientTest {
  protected:
    void SetUp() override {
        ClientTest::SetUp();
        folder_ = ProgramFolder() + "fault-matrix\\";
        ::CreateDirectoryA(folder_.c_str(), nullptr);
        recSETTINGS.programfolder = folder_;
        recSETTINGS.autologin = true;
    }

    // The state every case starts from: signed in, a current wallpaper, settings and a keep
    // schedule stored.
    void PrepareCase() {
        service().Reset();
        messages.clear();
        modalWindows.clear();
        ResetProgramState();
        SignedIn = true;
        recSETTINGS.password = "demo";
        recSETTINGS.curdesktopid = "1001";
        recSETTINGS.loginid = "L000001";
        std::ofstream(WallpaperFile(), std::ios::binary) << kCurrentWallpaper;
        SaveSettings();
        SetKeepDays("3");
    }

    std::string WallpaperFile() const { return folder_ + "wallpaper.jpg"; }
    std::string ReadWallpaperFile() const {
        std::ifstream file(WallpaperFile(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    // Every value of the settings key, and the desktop's wallpaper, as type and bytes.
    static std::map<std::string, std::string> RegistrySnapshot() {
        std::map<std::string, std::string> values;
        const auto read = [&values](const char* path, const char* only) {
            HKEY key = nullptr;
            if (::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
                return;
            }
            for (DWORD i = 0;; ++i) {
                char name[256];
                DWORD nameSize = sizeof(name);
                BYTE data[1024];
                DWORD dataSize = sizeof(data);
                DWORD type = 0;
                if (::RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) !=
                    ERROR_SUCCESS) {
                    break;
                }
                if (only == nullptr || std::string(name) == only) {
                    values[std::string(path) + "\\" + name] =
                        std::to_string(type) + ":" +
                        std::string(reinterpret_cast<const char*>(data), dataSize);
                }
            }
            ::RegCloseKey(key);
        };
        read(kSettingsKeyPath, nullptr);
        read("Control Panel\\Desktop", "Wallpaper");
        return values;
    }

    std::vector<Exchange> Exchanges() const;

    static constexpr const char* kCurrentWallpaper = "the wallpaper on the desktop now";
    std::string folder_;
};

std::vector<Exchange> FaultMatrixTest::Exchanges() const {
    const std::string downloadReply = "<reply><url>" + service().Url(kDownloadPath) +
                                      "</url><id>1004</id><type>jpg</type></reply>";
    return {
        {"login", "/actions/login.php",
         [] {
             SignedIn = false;
             StartSignIn(stTrayMenu);
             PumpUntil([] { return !SignInBusy; }, 20000);
         },
         [](const Fault& fault) {
             // A failed transfer is no connection, shown as such to a user who started it; a
             // body without "[OK]" refuses the account.
             return fault.exchangeFails
                        ? Outcome{false, {}, {"TfrmPopop"}}
                        : Outcome{false, {kLoginFailedMessage}, {"TfrmRegisterLogin"}};
         }},
        {"GETONE", "/actions/wallpaperserve.php", [] { RequestCurrentWallpaper(nullptr); },
         [](const Fault& fault) {
             return fault.exchangeFails ? Outcome{false, {}, {}} : Outcome{true, {kParseError}, {}};
         }},
        {"GETNEWONE", "/actions/wallpaperserve.php", [] { RequestNewWallpaper("1005", nullptr); },
         [](const Fault& fault) {
             // A failed exchange signs out and hands the text "error" on to the reply handling.
             if (fault.exchangeFails) {
                 return Outcome{false, {kParseError}, {}};
             }
             return std::string(fault.name) == "empty body"
                        ? Outcome{true, {"No new wallpaper available"}, {}}
                        : Outcome{true, {kParseError}, {}};
         }},
        {"download", kDownloadPath,
         [downloadReply] { HandleWallpaperReply(downloadReply, nullptr, true); },
         [](const Fault& fault) {
             // A 200 reply is a finished transfer, whatever its body.
             return fault.exchangeFails ? Outcome{true, {kDownloadFailedMessage}, {}}
                                        : Outcome{true, {}, {}, true};
         }},
        {"session request", "/actions/requestsession.php", [] { RequestSessionId(); },
         [](const Fault& fault) {
             return fault.exchangeFails ? Outcome{false, {}, {"TfrmPopop"}} : Outcome{true, {}, {}};
         }},
    };
}

TEST_F(FaultMatrixTest, EveryExchangeAgainstEveryFaultEndsInItsState) {
    HttpLimits limits = kHttpLimits;
    limits.silence = milliseconds(1500);
    const HttpLimitsScope shortened(limits);
    for (const Exchange& exchange : Exchanges()) {
        for (const Fault& fault : kFaults) {
            SCOPED_TRACE(std::string(exchange.name) + " / " + fault.name);
            PrepareCase();
            const auto registryBefore = RegistrySnapshot();
            service().SetFault(std::string("{") + fault.json + R"(, "path": ")" + exchange.path +
                               R"("})");
            const auto start = std::chrono::steady_clock::now();
            exchange.run();
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15))
                << "longer than any of its timeouts";

            const Outcome expected = exchange.expected(fault);
            EXPECT_EQ(SignedIn, expected.signedIn);
            EXPECT_FALSE(SignInBusy);
            EXPECT_FALSE(SignedOutByUser);
            EXPECT_EQ(messages, expected.messages);
            EXPECT_EQ(modalWindows, expected.modalWindows);
            EXPECT_EQ(::GetFileAttributesA((WallpaperFile() + ".download").c_str()),
                      INVALID_FILE_ATTRIBUTES)
                << "the temporary file is gone";
            EXPECT_EQ(recSETTINGS.curdesktopid, "1001");
            if (expected.wallpaperWritten) {
                EXPECT_NE(ReadWallpaperFile(), kCurrentWallpaper);
                EXPECT_NE(RegistrySnapshot(), registryBefore) << "the keep schedule is cleared";
            } else {
                EXPECT_EQ(ReadWallpaperFile(), kCurrentWallpaper);
                EXPECT_EQ(RegistrySnapshot(), registryBefore);
            }
        }
    }
}

}  // namespace

#include "service/wallpaper_request.h"

#include <shlobj.h>

#include <memory>

#include "service/download_window.h"
#include "service/exchange.h"
#include "service/http_client.h"
#include "service/service_address.h"
#include "service/wallpaper.h"
#include "service/wallpaper_reply.h"
#include "service/xml_request.h"
#include "settings/keep_schedule.h"
#include "settings/settings_record.h"
#include "settings/text_convert.h"
#include "ui/modal.h"
#include "ui/win_handles.h"

namespace {

std::string PostWallpaperRequest(const std::string& message) {
    return std::string(TrimBlanks(PostXmlRequest(message, ServiceUrl(kWallpaperServePath))));
}

bool CanCreateFilesIn(const std::string& folder) {
    const std::string probe = folder + "murlox-write-test.tmp";
    const UniqueFileHandle file(
        ::CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return static_cast<bool>(file);
}

std::string PerUserFolder() {
    char localAppData[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0,
                                  localAppData))) {
        return {};
    }
    const std::string folder = std::string(localAppData) + "\\MURLOX\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

}  // namespace

std::string WallpaperFolder() {
    if (CanCreateFilesIn(recSETTINGS.programfolder)) {
        return recSETTINGS.programfolder;
    }
    const std::string perUser = PerUserFolder();
    return perUser.empty() ? recSETTINGS.programfolder : perUser;
}

bool RequestCurrentWallpaper(HWND owner) {
    const ServiceExchange exchange;
    const std::string reply =
        PostWallpaperRequest(BuildGetOneMessage(CurrentWallpaperRequestValues()));
    if (reply == kFailedExchange) {
        return false;
    }
    // Signed out meanwhile: the reply belongs to a session that is gone.
    if (!exchange.SessionStands()) {
        return true;
    }
    return HandleWallpaperReply(reply, owner, /*silent=*/true);
}

void CheckKeepExpiry() {
    if (KeepScheduleAllowsRefresh()) {
        RequestCurrentWallpaper(nullptr);
    }
}

bool RequestNewWallpaper(const std::string& newId, HWND owner) {
    const ServiceExchange exchange;
    const std::string reply =
        PostWallpaperRequest(BuildGetNewOneMessage(CurrentWallpaperRequestValues(), newId));
    // A failed exchange goes on to tell that no wallpaper came, unless the program is ending; a
    // reply that came after the user signed out is not acted on.
    if (ExchangesAbandoned() || (reply != kFailedExchange && !exchange.SessionStands())) {
        return false;
    }
    if (reply.empty()) {
        ShowMessage("No new wallpaper available");
        return false;
    }
    return HandleWallpaperReply(reply, owner, /*silent=*/false);
}

bool HandleWallpaperReply(const std::string& reply, HWND owner, bool silent) {
    const ServiceExchange exchange;
    const WallpaperReply parsed = ParseWallpaperReply(reply);
    if (parsed.outcome != WallpaperReply::Outcome::Download) {
        const std::string message = WallpaperReplyMessage(parsed, reply);
        if (!message.empty()) {
            ShowMessage(message);
        }
        return true;
    }
    const std::string target = WallpaperFolder() + WallpaperFileName(parsed.type);
    int result = kModalFailed;
    {
        TfrmDownloader downloader(owner);
        downloader.StartDownload(parsed.url, target, silent);
        result = silent ? downloader.ModalResult() : ShowModal(downloader);
    }
    if (result != kModalDone || !exchange.SessionStands()) {
        return true;
    }
    // A shown download is the user's pick (GETNEWONE); a silent one the client's own (GETONE).
    ApplyWallpaper(target, parsed.id,
                   silent ? WallpaperChoice::Automatic : WallpaperChoice::Picked);
    return true;
}

#include "service/xml_request.h"

#include <windows.h>

#include "service/exchange.h"
#include "service/http_client.h"
#include "service/http_setup.h"
#include "service/service_address.h"
#include "service/service_state.h"
#include "settings/settings_record.h"

namespace {

// Restores the process error mode on every path.
class CriticalErrorsSilenced {
  public:
    CriticalErrorsSilenced() : previous_(::SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    CriticalErrorsSilenced(const CriticalErrorsSilenced&) = delete;
    CriticalErrorsSilenced& operator=(const CriticalErrorsSilenced&) = delete;
    ~CriticalErrorsSilenced() { ::SetErrorMode(previous_); }

  private:
    UINT previous_;
};

std::string Post(const std::string& message, const std::string& url) {
    HttpClient client;
    client.SetDefaultHost(ServiceHost, 80);
    client.SetContentType(kXmlContentType);
    ConfigureHttpClient(client);
    return client.Post(url, {"<?xml version=\"1.0\"?>" + message});
}

}  // namespace

std::string PostXmlRequest(const std::string& message, const std::string& url) {
    const ServiceExchange exchange;
    return exchange.Transfer([&] { return Post(message, url); }).value_or(kFailedExchange);
}

std::string GetComputerId(char drive) {
    const CriticalErrorsSilenced silenced;
    const char root[] = {drive, ':', '\\', '\0'};
    char volumeName[MAX_PATH + 1];
    DWORD serial = 0;
    if (!::GetVolumeInformationA(root, volumeName, sizeof(volumeName), &serial, nullptr, nullptr,
                                 nullptr, 0)) {
        return kComputerIdFailed;
    }
    return FormatComputerId(serial);
}

std::string SystemComputerId() {
    std::string& kept = TheServiceState().systemComputerId;
    if (kept.empty()) {
        const std::string id = GetComputerId('C');
        if (id == kComputerIdFailed) {
            return id;
        }
        kept = id;
    }
    return kept;
}

int UtcOffsetMinutes() {
    TIME_ZONE_INFORMATION zone = {};
    ::GetTimeZoneInformation(&zone);
    return -zone.Bias;
}

WallpaperRequestValues CurrentWallpaperRequestValues() {
    WallpaperRequestValues values;
    values.nickname = recSETTINGS.nickname;
    values.password = recSETTINGS.password;
    values.xres = ::GetSystemMetrics(SM_CXSCREEN);
    values.yres = ::GetSystemMetrics(SM_CYSCREEN);
    values.currentdesktopid = recSETTINGS.curdesktopid;
    values.cid = SystemComputerId();
    values.gmt = UtcOffsetMinutes();
    return values;
}

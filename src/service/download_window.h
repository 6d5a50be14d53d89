#pragma once
// The window that downloads one wallpaper file, silently or showing its progress.

#include <windows.h>

#include <cstdint>
#include <string>

#include "components/gauge.h"
#include "service/http_client.h"
#include "ui/window.h"

// The 200 ms delay before a shown download starts.
inline constexpr UINT_PTR tmrDLDelay = 1;

class TfrmDownloader : public Window {
  public:
    // The window is made only for a shown download, hidden, centred on its owner (or the screen
    // without one): a silent download needs none, and making one costs more than a download of
    // a wallpaper on a fast line.
    explicit TfrmDownloader(HWND owner);
    ~TfrmDownloader() override;

    // Whether a download window exists now; the picker does not open over one.
    static bool Exists();

    // Silent: downloads at once, never showing the window. Otherwise the download starts 200 ms
    // after the window is shown modally, so that a close before that downloads nothing.
    void StartDownload(const std::string& url, const std::string& targetFile, bool silent);

    const Gauge& prog() const { return prog_; }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // The transfer itself. The file is written beside the target and replaces it only when
    // complete, so a failed download never damages the current wallpaper.
    bool DownloadFile();
    void CreateWindows();
    void FormShow() override;
    void tmrDLDelayTimer();
    void theHTTPWorkBegin(int64_t expected);
    void theHTTPWork(int64_t received);

    HWND owner_;
    Gauge prog_;
    HttpClient theHTTP;
    // While this window exists, messages are dispatched only after an empty waiting slice.
    KeepAliveScope NetKeepAlive1;
    std::string DownloadUrl;
    std::string TargetFile;
    int64_t ReceivedTotal = 0;
};

inline constexpr const char* kDownloadFailedMessage =
    "Error downloading wallpaper, please check your account status or Internet connection!";

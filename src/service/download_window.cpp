#include "service/download_window.h"

#include <windows.h>

#include <stdexcept>

#include "service/http_setup.h"
#include "service/service_state.h"
#include "ui/message_pump.h"
#include "ui/prompt.h"
#include "ui/win_handles.h"

namespace {

constexpr UINT kDownloadDelayMs = 200;
constexpr int kClientWidth = 230;
constexpr int kClientHeight = 57;

std::string SystemErrorText(DWORD error) {
    char* text = nullptr;
    ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    const UniqueLocalMemory owned(text);
    return text ? text : "error " + std::to_string(error);
}

UniqueFileHandle CreateForWriting(const std::string& path) {
    UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw std::runtime_error("Cannot create file \"" + path + "\". " +
                                 SystemErrorText(::GetLastError()));
    }
    return file;
}

void WriteAll(HANDLE file, const char* data, size_t size) {
    DWORD written = 0;
    if (!::WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) || written != size) {
        throw std::runtime_error("Cannot write the wallpaper file. " +
                                 SystemErrorText(::GetLastError()));
    }
}

}  // namespace

TfrmDownloader::TfrmDownloader(HWND owner)
    : owner_(owner),
      NetKeepAlive1(KeepAlive{[this] {
                                  DispatchWaitingMessages();
                                  // Closed by the user or the program while the file comes:
                                  // the transfer is given up, and nothing is applied.
                                  if (ModalResult() != 0) {
                                      throw HttpAbandoned("the download window was closed");
                                  }
                              },
                              /*onlyWhenIdle=*/true}) {
    ++TheServiceState().downloadWindows;
    prog_.SetMinValue(0);
    prog_.SetProgress(0);
}

TfrmDownloader::~TfrmDownloader() {
    // The window goes while this object is whole, so its last messages still reach it.
    Destroy();
    --TheServiceState().downloadWindows;
}

bool TfrmDownloader::Exists() {
    return TheServiceState().downloadWindows > 0;
}

void TfrmDownloader::StartDownload(const std::string& url, const std::string& targetFile,
                                   bool silent) {
    DownloadUrl = url;
    TargetFile = targetFile;
    if (silent) {
        tmrDLDelayTimer();
    } else {
        CreateWindows();
    }
}

void TfrmDownloader::CreateWindows() {
    CreateForm(FormDescription("TfrmDownloader")
                   .Caption("Downloading MURLO...")
                   .Style(WS_POPUP | WS_CAPTION | WS_SYSMENU)
                   .ExStyle(WS_EX_DLGMODALFRAME)
                   .CentredOnOwner()
                   .ClientSize(kClientWidth, kClientHeight),
               owner_);
    prog_.Create(hwnd(), {12, 21, 12 + 201, 21 + 17});
    prog_.SetAccessible(AccessibleProgressBar("Download"));
}

LRESULT TfrmDownloader::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == tmrDLDelay) {
                tmrDLDelayTimer();
                return 0;
            }
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

void TfrmDownloader::FormShow() {
    ::SetTimer(hwnd(), tmrDLDelay, kDownloadDelayMs, nullptr);
}

void TfrmDownloader::tmrDLDelayTimer() {
    // A silent download has no window, and no timer; a null window would name a thread timer.
    if (hwnd()) {
        ::KillTimer(hwnd(), tmrDLDelay);
    }
    prog_.SetMinValue(0);
    prog_.SetProgress(0);
    const bool downloaded = DownloadFile();
    // A window closed meanwhile keeps the result its closing gave.
    if (ModalResult() == 0) {
        SetModalResult(downloaded ? kModalDone : kModalFailed);
    }
}

bool TfrmDownloader::DownloadFile() {
    const std::string partial = TargetFile + ".download";
    UniqueFileHandle file;
    // A file that cannot be made (a full disk, a name the file system refuses, a folder in the
    // way) fails as the transfer would: one message, and the window ends so that the next
    // exchange may run.
    try {
        file = CreateForWriting(partial);
        PrepareHttpClient(theHTTP);
        theHTTP.Get(
            DownloadUrl,
            [&file](const char* data, size_t size) { WriteAll(file.get(), data, size); },
            DownloadEvents{[this](int64_t expected) { theHTTPWorkBegin(expected); },
                           [this](int64_t received) { theHTTPWork(received); }, nullptr});
        file.reset();
        if (!::MoveFileExA(partial.c_str(), TargetFile.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            throw std::runtime_error("Cannot replace the wallpaper file. " +
                                     SystemErrorText(::GetLastError()));
        }
        return true;
    } catch (const std::exception& failure) {
        // Only a file of this download's own is removed.
        if (file) {
            file.reset();
            ::DeleteFileA(partial.c_str());
        }
        // Given up on purpose (the window closed, the program ends): nothing failed to tell of.
        if (!dynamic_cast<const HttpAbandoned*>(&failure)) {
            ShowMessage(kDownloadFailedMessage);
        }
        return false;
    }
}

void TfrmDownloader::theHTTPWorkBegin(int64_t expected) {
    prog_.SetMaxValue(expected);
    prog_.SetProgress(0);
    ReceivedTotal = 0;
}

void TfrmDownloader::theHTTPWork(int64_t received) {
    ReceivedTotal += received;
    prog_.SetProgress(ReceivedTotal);
}

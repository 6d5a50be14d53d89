#pragma once
// The Active Desktop object of Windows Vista and later, in place of the system's while it lives
// (Wine refuses to create one): it answers S_OK to every call, whatever the file, and reports
// Active Desktop switched off, as Windows does. It keeps what the client set and counts the
// applies.

#include <windows.h>
// <wininet.h> must come before <shlobj.h>, or IActiveDesktop is not declared.
#include <wininet.h>

#include <shlobj.h>

#include <string>

#include "service/service_state.h"
#include "support/counted_com_object.h"

class ActiveDesktopForTesting : public CountedComObject<IActiveDesktop> {
  public:
    ActiveDesktopForTesting()
        : CountedComObject({IID_IActiveDesktop}), previous_(TheServiceState().activeDesktop) {
        TheServiceState().activeDesktop = this;
    }
    ActiveDesktopForTesting(const ActiveDesktopForTesting&) = delete;
    ActiveDesktopForTesting& operator=(const ActiveDesktopForTesting&) = delete;
    ~ActiveDesktopForTesting() { TheServiceState().activeDesktop = previous_; }

    HRESULT STDMETHODCALLTYPE ApplyChanges(DWORD) override {
        ++applies;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetWallpaper(PWSTR path, UINT size, DWORD) override {
        lstrcpynW(path, wallpaper.c_str(), static_cast<int>(size));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetWallpaper(PCWSTR path, DWORD) override {
        wallpaper = path;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetWallpaperOptions(LPWALLPAPEROPT, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetWallpaperOptions(LPCWALLPAPEROPT, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetPattern(PWSTR, UINT, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetPattern(PCWSTR, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetDesktopItemOptions(LPCOMPONENTSOPT options, DWORD) override {
        options->fActiveDesktop = FALSE;
        options->fEnableComponents = FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetDesktopItemOptions(LPCCOMPONENTSOPT, DWORD) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AddDesktopItem(LPCCOMPONENT, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE AddDesktopItemWithUI(HWND, LPCOMPONENT, DWORD) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ModifyDesktopItem(LPCCOMPONENT, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveDesktopItem(LPCCOMPONENT, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetDesktopItemCount(int* count, DWORD) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDesktopItem(int, LPCOMPONENT, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetDesktopItemByID(ULONG_PTR, LPCOMPONENT, DWORD) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GenerateDesktopItemHtml(PCWSTR, LPCOMPONENT, DWORD) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AddUrl(HWND, PCWSTR, LPCOMPONENT, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetDesktopItemBySource(PCWSTR, LPCOMPONENT, DWORD) override {
        return S_OK;
    }

    // The file the client last set, and how many times it applied its changes.
    std::wstring wallpaper;
    int applies = 0;

  private:
    IActiveDesktop* previous_;
};

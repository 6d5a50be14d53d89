#pragma once
// Makes every download of the stand-in's wallpapers (JPEG, BMP, PNG or HTML, whichever an account
// has now) fail because its file cannot be created, while it lives: the settings
// record's programfolder points at a folder in which folders hold the names of the downloads'
// temporary files.

#include <windows.h>

#include <string>
#include <vector>

#include "settings/settings_record.h"
#include "ui/win_paths.h"

class UncreatableDownloadTarget {
  public:
    UncreatableDownloadTarget() : folder_(ProgramFolder() + "uncreatable-download\\") {
        ::CreateDirectoryA(folder_.c_str(), nullptr);
        for (const char* type : {"jpg", "bmp", "png", "html"}) {
            blocked_.push_back(folder_ + "wallpaper." + type + ".download");
            ::CreateDirectoryA(blocked_.back().c_str(), nullptr);
        }
        previous_ = recSETTINGS.programfolder;
        recSETTINGS.programfolder = folder_;
    }
    UncreatableDownloadTarget(const UncreatableDownloadTarget&) = delete;
    UncreatableDownloadTarget& operator=(const UncreatableDownloadTarget&) = delete;
    ~UncreatableDownloadTarget() {
        recSETTINGS.programfolder = previous_;
        for (const std::string& path : blocked_) {
            ::RemoveDirectoryA(path.c_str());
        }
    }

  private:
    std::string folder_;
    std::vector<std::string> blocked_;
    std::string previous_;
};

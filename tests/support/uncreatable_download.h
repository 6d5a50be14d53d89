#pragma once
// Makes the download of the stand-in's demo wallpaper (a JPEG) fail with the error of a file that
// cannot be created, while it lives: the settings record's programfolder points at a folder in
// which a folder holds the name of the download's temporary file.

#include <windows.h>

#include <string>

#include "components/win_paths.h"
#include "settings/settings_record.h"

class UncreatableDownloadTarget {
  public:
    UncreatableDownloadTarget()
        : folder_(ProgramFolder() + "uncreatable-download\\"),
          blocked_(folder_ + "wallpaper.jpg.download") {
        ::CreateDirectoryA(folder_.c_str(), nullptr);
        ::CreateDirectoryA(blocked_.c_str(), nullptr);
        previous_ = recSETTINGS.programfolder;
        recSETTINGS.programfolder = folder_;
    }
    UncreatableDownloadTarget(const UncreatableDownloadTarget&) = delete;
    UncreatableDownloadTarget& operator=(const UncreatableDownloadTarget&) = delete;
    ~UncreatableDownloadTarget() {
        recSETTINGS.programfolder = previous_;
        ::RemoveDirectoryA(blocked_.c_str());
    }

    // The path the error names.
    const std::string& BlockedPath() const { return blocked_; }

  private:
    std::string folder_;
    std::string blocked_;
    std::string previous_;
};

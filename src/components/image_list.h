#pragma once
// Small pictures of one size kept together (the two tray images), and the icon object an image of
// such a list is copied into.

#include <windows.h>

#include <vector>

#include "ui/destruction_notifier.h"
#include "ui/win_handles.h"

// An icon owned by its object; empty (handle 0) until an image is copied in.
class TIcon {
  public:
    HICON Handle() const { return handle_.get(); }
    bool Empty() const { return !handle_; }
    // Makes this icon a copy of the source's image; an empty source empties it.
    void Assign(const TIcon& source);
    // Takes over an icon made for this object.
    void Reset(UniqueIcon icon) { handle_ = std::move(icon); }

  private:
    UniqueIcon handle_;
};

// A list of images of the same size, each kept as an icon. (Built on plain icons rather than the
// common controls' image list: loading that library alone costs a noticeable share of the
// client's start-up.)
class TImageList : public DestructionNotifier {
  public:
    TImageList(int width, int height);

    int Count() const { return static_cast<int>(icons_.size()); }

    // Adds an image of the list's size; false, with nothing added, for no icon.
    bool Add(UniqueIcon icon);
    // An icon resource of the program, at the list's size: the icon's image of that size, or the
    // system's scaling of the nearest.
    bool AddIconResource(int id);

    // Copies image index into icon; an index outside the list empties the icon and returns false.
    bool GetIcon(int index, TIcon& icon) const;

  private:
    int width_;
    int height_;
    std::vector<UniqueIcon> icons_;
};

#pragma once
// A decoded picture (GIF, BMP, PNG, JPEG) with all its frames, ready to draw with GDI. Animated
// GIFs keep every frame and its delay; the animation itself is the showing control's business.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class Picture {
  public:
    // No picture: zero size, no frames; drawing it draws nothing.
    Picture() = default;

    // Decoding needs a GdiplusInitialization standing, and starts GDI+. Each throws
    // std::runtime_error naming the picture when it cannot be read or decoded.
    //
    // A picture stored as RCDATA in the program's resources under a numbered id. A GIF or BMP is
    // decoded only when its frames are first needed: its size is in its header, and most of the
    // program's pictures are not seen in its first seconds, if ever. Its decoding errors are
    // thrown then.
    static Picture FromResource(int id);
    static Picture FromFile(const std::string& path);

    bool IsEmpty() const { return !state_; }
    // The picture for a screen of that DPI: drawn at 96 dpi, it is resampled once per DPI with a
    // sharp filter, never stretched at paint time. The same picture at 96 dpi.
    Picture ScaledFor(int dpi) const;
    int Width() const { return state_ ? state_->width : 0; }
    int Height() const { return state_ ? state_->height : 0; }
    int FrameCount() const;
    bool IsAnimated() const { return FrameCount() > 1; }
    // How long frame i stays, in milliseconds. A GIF gives delays in hundredths of a second; a
    // delay of 0 counts as 100 ms, as browsers play it.
    int FrameDelay(int frame) const;

    // FrameDelay and the drawing functions throw std::out_of_range for a frame the picture lacks.
    // Draws frame i with its top-left corner at (x, y), in the DC's logical coordinates.
    // Opaque drawing shows every pixel, transparent ones in their stored colour; transparent
    // drawing leaves what is under them. GIFs bring their own transparency; in a BMP every pixel of
    // the colour of its bottom-left pixel is transparent.
    void Draw(HDC dc, int x, int y, int frame, bool transparent) const;
    // The same, stretched to fill bounds.
    void DrawStretched(HDC dc, const RECT& bounds, int frame, bool transparent) const;
    // The same, centred in bounds (not clipped to them).
    void DrawCentered(HDC dc, const RECT& bounds, int frame, bool transparent) const;

  private:
    struct Frame {
        // Top-down rows of 0xAARRGGBB; alpha is 0 where the picture is transparent, and the
        // colour channels keep the stored colour for opaque drawing.
        std::vector<uint32_t> pixels;
        int delayMilliseconds;
    };
    using Frames = std::vector<Frame>;
    // Shared by the copies of a picture: frames never change once decoded.
    struct State {
        int width;  // 0 until known
        int height;
        std::string name;
        // The encoded picture while it waits to be decoded; the program's resources stay where
        // they are for the life of the process.
        const void* encoded;
        size_t encodedSize;
        Frames frames;
        // The picture resampled for each DPI asked for so far.
        std::map<int, std::shared_ptr<State>> scaled;
    };

    explicit Picture(std::shared_ptr<State> state) : state_(std::move(state)) {}
    static Picture Decode(const void* data, size_t size, const std::string& name);
    const Frames& DecodedFrames() const;
    const Frame& FrameAt(int frame) const;

    std::shared_ptr<State> state_;
};

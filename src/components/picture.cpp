#include "components/picture.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "ui/dpi.h"
#include "ui/resampling.h"
#include "ui/win_handles.h"

namespace {

constexpr int kDefaultFrameDelay = 100;  // milliseconds, for a GIF delay of 0
constexpr uint32_t kColorMask = 0x00FFFFFF;

[[noreturn]] void ThrowUnreadable(const std::string& name) {
    throw std::runtime_error("Cannot read the picture " + name + ".");
}

ComPtr<IStream> MemoryStream(const void* data, size_t size) {
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) {
        return {};
    }
    std::memcpy(::GlobalLock(memory), data, size);
    ::GlobalUnlock(memory);
    ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(memory, TRUE, stream.put()))) {
        ::GlobalFree(memory);
    }
    return stream;
}

// Delays of all frames in milliseconds. A delay of 0, or none at all, counts as the default.
std::vector<int> FrameDelays(Gdiplus::Bitmap& bitmap, UINT frameCount) {
    std::vector<int> delays(frameCount, kDefaultFrameDelay);
    const UINT size = bitmap.GetPropertyItemSize(PropertyTagFrameDelay);
    if (size == 0) {
        return delays;
    }
    std::vector<unsigned char> buffer(size);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
    if (bitmap.GetPropertyItem(PropertyTagFrameDelay, size, item) != Gdiplus::Ok) {
        return delays;
    }
    const UINT given = std::min<UINT>(frameCount, item->length / sizeof(LONG));
    for (UINT i = 0; i < given; ++i) {
        LONG hundredths;
        std::memcpy(&hundredths, static_cast<const char*>(item->value) + i * sizeof(LONG),
                    sizeof(LONG));
        if (hundredths > 0) {
            delays[i] = static_cast<int>(hundredths) * 10;
        }
    }
    return delays;
}

// The active frame as top-down 0xAARRGGBB rows; empty when GDI+ cannot convert it.
std::vector<uint32_t> ActiveFramePixels(Gdiplus::Bitmap& bitmap, int width, int height) {
    const Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData data;
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) !=
        Gdiplus::Ok) {
        return {};
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        std::memcpy(&pixels[static_cast<size_t>(row) * width],
                    static_cast<const char*>(data.Scan0) + row * data.Stride,
                    width * sizeof(uint32_t));
    }
    bitmap.UnlockBits(&data);
    return pixels;
}

// A BMP has no transparency of its own: like the class library, take the colour of the bottom-left
// pixel as the transparent one.
void KeyOnBottomLeftPixel(std::vector<uint32_t>& pixels, int width, int height) {
    const uint32_t key = pixels[static_cast<size_t>(height - 1) * width] & kColorMask;
    for (uint32_t& pixel : pixels) {
        if ((pixel & kColorMask) == key) {
            pixel &= kColorMask;
        }
    }
}

bool IsBmp(const void* data, size_t size) {
    return size >= 2 && std::memcmp(data, "BM", 2) == 0;
}

BITMAPINFO TopDownBitmapInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

uint32_t Premultiplied(uint32_t pixel) {
    const uint32_t alpha = pixel >> 24;
    const auto scale = [&](int shift) {
        return (((pixel >> shift) & 0xFF) * alpha / 255) << shift;
    };
    return (alpha << 24) | scale(16) | scale(8) | scale(0);
}

// Each draws the picture of the given size stretched to fill bounds.
void DrawOpaque(HDC dc, const RECT& bounds, int width, int height,
                const std::vector<uint32_t>& pixels) {
    // GDI ignores the alpha byte of 32-bit DIB pixels, which is what opaque drawing wants.
    const BITMAPINFO info = TopDownBitmapInfo(width, height);
    ::StretchDIBits(dc, bounds.left, bounds.top, bounds.right - bounds.left,
                    bounds.bottom - bounds.top, 0, 0, width, height, pixels.data(), &info,
                    DIB_RGB_COLORS, SRCCOPY);
}

void DrawBlended(HDC dc, const RECT& bounds, int width, int height,
                 const std::vector<uint32_t>& pixels) {
    const BITMAPINFO info = TopDownBitmapInfo(width, height);
    void* bits = nullptr;
    const UniqueGdiObject section(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section) {
        return;
    }
    // AlphaBlend wants its source premultiplied by alpha.
    auto* target = static_cast<uint32_t*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) {
        target[i] = Premultiplied(pixels[i]);
    }
    const UniqueDc source(::CreateCompatibleDC(dc));
    const SelectedObject selected(source.get(), section.get());
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::GdiAlphaBlend(dc, bounds.left, bounds.top, bounds.right - bounds.left,
                    bounds.bottom - bounds.top, source.get(), 0, 0, width, height, blend);
}

// The size a GIF or BMP gives in its header, or false for another format.
bool HeaderSize(const void* data, size_t size, int* width, int* height) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    const auto number = [bytes](size_t at, int length) {
        uint32_t value = 0;
        for (int i = length - 1; i >= 0; --i) {
            value = value << 8 | bytes[at + i];
        }
        return value;
    };
    if (size >= 10 && std::memcmp(bytes, "GIF8", 4) == 0) {
        // The logical screen, which every frame is drawn into.
        *width = static_cast<int>(number(6, 2));
        *height = static_cast<int>(number(8, 2));
        return true;
    }
    if (IsBmp(data, size) && size >= 26) {
        if (number(14, 4) == sizeof(BITMAPCOREHEADER)) {
            *width = static_cast<int>(number(18, 2));
            *height = static_cast<int>(number(20, 2));
        } else {
            *width = static_cast<int>(number(18, 4));
            *height = std::abs(static_cast<int32_t>(number(22, 4)));  // negative: top-down
        }
        return true;
    }
    return false;
}

}  // namespace

Picture Picture::FromResource(int id) {
    const std::string name = "resource " + std::to_string(id);
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RCDATA
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) {
        ThrowUnreadable(name);
    }
    const size_t size = ::SizeofResource(module, found);
    int width = 0;
    int height = 0;
    if (!HeaderSize(data, size, &width, &height)) {
        return Decode(data, size, name);
    }
    if (width <= 0 || height <= 0) {
        ThrowUnreadable(name);
    }
    return Picture(std::make_shared<State>(State{width, height, name, data, size, {}, {}}));
}

Picture Picture::FromFile(const std::string& path) {
    const UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) {
        ThrowUnreadable(path);
    }
    std::vector<char> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size()) {
        ThrowUnreadable(path);
    }
    return Decode(bytes.data(), bytes.size(), path);
}

Picture Picture::Decode(const void* data, size_t size, const std::string& name) {
    // The bytes are the caller's: they are decoded now, while they are there.
    const Picture picture(std::make_shared<State>(State{0, 0, name, data, size, {}, {}}));
    picture.DecodedFrames();
    return picture;
}

const Picture::Frames& Picture::DecodedFrames() const {
    State& state = *state_;
    if (!state.encoded) {
        return state.frames;
    }
    const ComPtr<IStream> stream = MemoryStream(state.encoded, state.encodedSize);
    if (!stream || !StartGdiplus()) {
        ThrowUnreadable(state.name);
    }
    Gdiplus::Bitmap bitmap(stream.get());
    const int width = static_cast<int>(bitmap.GetWidth());
    const int height = static_cast<int>(bitmap.GetHeight());
    // A size taken from the header before must be the decoded one: controls were sized by it.
    const bool sizeKnown = state.width > 0;
    if (bitmap.GetLastStatus() != Gdiplus::Ok || width <= 0 || height <= 0 ||
        (sizeKnown && (width != state.width || height != state.height))) {
        ThrowUnreadable(state.name);
    }
    state.width = width;
    state.height = height;
    // Animated GIFs have their frames along the time dimension; everything else has one frame.
    GUID dimension = {};
    UINT frameCount = 1;
    if (bitmap.GetFrameDimensionsCount() > 0 &&
        bitmap.GetFrameDimensionsList(&dimension, 1) == Gdiplus::Ok) {
        frameCount = std::max<UINT>(1, bitmap.GetFrameCount(&dimension));
    }
    const std::vector<int> delays = FrameDelays(bitmap, frameCount);
    Frames frames;
    for (UINT i = 0; i < frameCount; ++i) {
        if (frameCount > 1 && bitmap.SelectActiveFrame(&dimension, i) != Gdiplus::Ok) {
            ThrowUnreadable(state.name);
        }
        std::vector<uint32_t> pixels = ActiveFramePixels(bitmap, state.width, state.height);
        if (pixels.empty()) {
            ThrowUnreadable(state.name);
        }
        if (IsBmp(state.encoded, state.encodedSize)) {
            KeyOnBottomLeftPixel(pixels, state.width, state.height);
        }
        frames.push_back({std::move(pixels), delays[i]});
    }
    state.frames = std::move(frames);
    state.encoded = nullptr;
    state.encodedSize = 0;
    return state.frames;
}

Picture Picture::ScaledFor(int dpi) const {
    if (!state_ || dpi == kDesignDpi || dpi <= 0) {
        return *this;
    }
    std::shared_ptr<State>& scaled = state_->scaled[dpi];
    if (!scaled) {
        const Frames& frames = DecodedFrames();
        const int width = std::max(1, Scaled(Width(), dpi));
        const int height = std::max(1, Scaled(Height(), dpi));
        Frames resampled;
        for (const Frame& frame : frames) {
            resampled.push_back({ResampleArgb(frame.pixels, Width(), Height(), width, height),
                                 frame.delayMilliseconds});
        }
        scaled = std::make_shared<State>(
            State{width, height, state_->name, nullptr, 0, std::move(resampled), {}});
    }
    return Picture(scaled);
}

int Picture::FrameCount() const {
    return state_ ? static_cast<int>(DecodedFrames().size()) : 0;
}

int Picture::FrameDelay(int frame) const {
    return FrameAt(frame).delayMilliseconds;
}

const Picture::Frame& Picture::FrameAt(int frame) const {
    if (!state_ || frame < 0 || frame >= FrameCount()) {
        throw std::out_of_range("The picture has no frame " + std::to_string(frame) + ".");
    }
    return DecodedFrames()[frame];
}

void Picture::Draw(HDC dc, int x, int y, int frame, bool transparent) const {
    DrawStretched(dc, {x, y, x + Width(), y + Height()}, frame, transparent);
}

void Picture::DrawStretched(HDC dc, const RECT& bounds, int frame, bool transparent) const {
    if (!state_) {
        return;
    }
    const std::vector<uint32_t>& pixels = FrameAt(frame).pixels;
    if (transparent) {
        DrawBlended(dc, bounds, Width(), Height(), pixels);
    } else {
        DrawOpaque(dc, bounds, Width(), Height(), pixels);
    }
}

void Picture::DrawCentered(HDC dc, const RECT& bounds, int frame, bool transparent) const {
    const int x = bounds.left + (bounds.right - bounds.left - Width()) / 2;
    const int y = bounds.top + (bounds.bottom - bounds.top - Height()) / 2;
    Draw(dc, x, y, frame, transparent);
}

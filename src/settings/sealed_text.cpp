#include "settings/sealed_text.h"

#include <windows.h>
#include <wincrypt.h>

#include "ui/win_handles.h"

namespace {

// The blob refers to the bytes; the API reads its input blobs and never writes them.
DATA_BLOB BlobOf(const std::string& bytes) {
    DATA_BLOB blob;
    blob.cbData = static_cast<DWORD>(bytes.size());
    blob.pbData = reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()));
    return blob;
}

DATA_BLOB Entropy() {
    static const std::string entropy = "MURLOX desktop client: sealed settings";
    return BlobOf(entropy);
}

// The output blob's bytes, its memory given back to the system.
std::string TakeBytes(const DATA_BLOB& out) {
    const UniqueLocalMemory owned(out.pbData);
    return std::string(reinterpret_cast<const char*>(out.pbData), out.cbData);
}

}  // namespace

std::optional<std::string> SealText(const std::string& text) {
    DATA_BLOB in = BlobOf(text);
    DATA_BLOB entropy = Entropy();
    DATA_BLOB out{};
    if (!::CryptProtectData(&in, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                            &out)) {
        return std::nullopt;
    }
    return TakeBytes(out);
}

std::optional<std::string> OpenSealedText(const std::string& sealed) {
    DATA_BLOB in = BlobOf(sealed);
    DATA_BLOB entropy = Entropy();
    DATA_BLOB out{};
    if (sealed.empty() || !::CryptUnprotectData(&in, nullptr, &entropy, nullptr, nullptr,
                                                CRYPTPROTECT_UI_FORBIDDEN, &out)) {
        return std::nullopt;
    }
    return TakeBytes(out);
}

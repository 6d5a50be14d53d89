#pragma once
// Which window messages carry a pointer in their parameters. A pointer means something only in
// the memory of the process that sent it, and only while its sender waits for the answer: such a
// message is taken only from the client's own thread.

#include <cstdint>

enum class PointerMessage : uint8_t {
    // No pointer: taken from anywhere.
    None,
    // The system copies what the pointer names for a receiver on another thread (creation, frame,
    // size and style, owner-drawn items, text): from there only the system's own handling of the
    // window takes it.
    CopiedBySystem,
    // The pointer is passed as it is (WM_NOTIFY, WM_DPICHANGED): from another thread it is
    // ignored.
    Raw,
};

PointerMessage PointerIn(uint32_t message);

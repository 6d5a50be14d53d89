#pragma once
// The mouse button an event is about, for the client's controls and the tray icon alike.

enum class MouseButton { Left, Right, Middle };

// The class library's names, which the tray icon's events are given in.
using TMouseButton = MouseButton;
inline constexpr TMouseButton mbLeft = MouseButton::Left;
inline constexpr TMouseButton mbRight = MouseButton::Right;
inline constexpr TMouseButton mbMiddle = MouseButton::Middle;

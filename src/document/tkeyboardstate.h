#pragma once

#include <functional>

/// The toggle keys' states as the keyboard indicators show them. On X11 they
/// come from the server's keyboard indicators; on other platforms (and
/// without a display, as in the offscreen tests) every toggle reads as off.
class TKeyboardState
{
public:
    enum class Toggle { NumLock, CapsLock, ScrollLock };
    static bool isOn(Toggle toggle);
    /// True for the keys that switch a toggle (Num, Caps and Scroll Lock).
    static bool isToggleKey(int key);

    /// Makes isOn() answer with reader instead of the keyboard (tests); an
    /// empty reader restores the keyboard.
    static void setReader(std::function<bool(Toggle)> reader);
};

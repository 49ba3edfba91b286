#include "tkeyboardstate.h"

#include <QGuiApplication>

#if TESSARY_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace {
std::function<bool(TKeyboardState::Toggle)> &reader()
{
    static std::function<bool(TKeyboardState::Toggle)> function;
    return function;
}
} // namespace

void TKeyboardState::setReader(std::function<bool(Toggle)> function)
{
    reader() = std::move(function);
}

bool TKeyboardState::isOn(Toggle toggle)
{
    if (reader())
        return reader()(toggle);
#if TESSARY_HAVE_X11
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return false;
    // The indicators are looked up by name: their bit positions differ
    // between keyboard maps.
    const char *name = toggle == Toggle::NumLock    ? "Num Lock"
                       : toggle == Toggle::CapsLock ? "Caps Lock"
                                                    : "Scroll Lock";
    const Atom atom = XInternAtom(display, name, True);
    Bool on = False;
    if (atom != None && XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
        return on;
    // Keyboard maps without named indicators: the core protocol's LED mask
    // (bit 0 Caps Lock, bit 1 Num Lock, bit 2 Scroll Lock).
    XKeyboardState state;
    XGetKeyboardControl(display, &state);
    const unsigned long bit = toggle == Toggle::CapsLock ? 1 : toggle == Toggle::NumLock ? 2 : 4;
    return state.led_mask & bit;
#else
    Q_UNUSED(toggle);
    return false;
#endif
}

bool TKeyboardState::isToggleKey(int key)
{
    return key == Qt::Key_NumLock || key == Qt::Key_CapsLock || key == Qt::Key_ScrollLock;
}

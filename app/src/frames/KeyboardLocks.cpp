#include "frames/KeyboardLocks.h"

#include <QGuiApplication>
#include <QSocketNotifier>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

KeyboardLocks::KeyboardLocks(QObject* parent) : QObject(parent) {
    const auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->display())
        return;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    if (!XkbLibraryVersion(&major, &minor))
        return;
    int errorBase = 0;
    display_ = XkbOpenDisplay(XDisplayString(x11->display()), &xkbEventBase_, &errorBase, &major,
                              &minor, nullptr);
    if (!display_)
        return;
    static const char* const names[LockCount] = {"Caps Lock", "Num Lock", "Scroll Lock"};
    for (int i = 0; i < LockCount; ++i) {
        const Atom name = XInternAtom(display_, names[i], False);
        int index = -1;
        Bool on = False;
        if (XkbGetNamedIndicator(display_, name, &index, &on, nullptr, nullptr))
            indicator_[static_cast<std::size_t>(i)] = index;
    }
    XkbSelectEvents(display_, XkbUseCoreKbd, XkbIndicatorStateNotifyMask,
                    XkbIndicatorStateNotifyMask);
    XFlush(display_);
    notifier_ = new QSocketNotifier(ConnectionNumber(display_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &KeyboardLocks::readEvents);
}

KeyboardLocks::~KeyboardLocks() {
    delete notifier_;
    if (display_)
        XCloseDisplay(display_);
}

std::optional<bool> KeyboardLocks::isOn(Lock lock) const {
    const int index = indicator_[static_cast<std::size_t>(lock)];
    if (!display_ || index < 0 || index >= XkbNumIndicators)
        return std::nullopt;
    unsigned int state = 0;
    if (XkbGetIndicatorState(display_, XkbUseCoreKbd, &state) != Success)
        return std::nullopt;
    return (state >> index & 1U) != 0;
}

void KeyboardLocks::readEvents() {
    bool indicators = false;
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        indicators = indicators || event.type == xkbEventBase_;
    }
    if (indicators)
        emit changed();
}

#pragma once
// Caps Lock, Num Lock and Scroll Lock as the X keyboard's indicators show
// them, watched on a connection of our own so that Qt's event handling is
// left alone. Where there is no X keyboard (another platform, no XKB, an
// indicator the keymap lacks) the state is unknown rather than guessed.

#include <array>
#include <optional>

#include <QObject>

class QSocketNotifier;
struct _XDisplay;

class KeyboardLocks : public QObject {
    Q_OBJECT
public:
    enum Lock { Caps, Num, Scroll, LockCount };

    explicit KeyboardLocks(QObject* parent = nullptr);
    ~KeyboardLocks() override;

    // Whether `lock` is on; nothing when it cannot be read.
    std::optional<bool> isOn(Lock lock) const;

signals:
    // An indicator changed.
    void changed();

private:
    void readEvents();

    _XDisplay* display_ = nullptr; // own connection, closed with this object
    int xkbEventBase_ = 0;
    std::array<int, LockCount> indicator_{-1, -1, -1}; // indicator index per lock
    QSocketNotifier* notifier_ = nullptr;
};

#pragma once
// SIGTERM and SIGHUP (logout, shutdown, `kill`) would end the program at once
// and lose the edits since the last recovery copy. The handler only writes the
// signal's number into a pipe; the pipe's reader, on the GUI thread, writes a
// copy of every modified document and then ends the program by the same
// signal, as it would have ended without the handler.

#include <QObject>

class QSocketNotifier;
class ZAutoSave;

class ZTermSignals : public QObject {
    Q_OBJECT
public:
    // Catches the signals for as long as the object lives; only one may.
    explicit ZTermSignals(ZAutoSave* saver, QObject* parent = nullptr);
    ~ZTermSignals() override;
    bool isActive() const { return notifier_ != nullptr; }

private:
    void caught();

    ZAutoSave* saver_;
    QSocketNotifier* notifier_ = nullptr;
};

#pragma once
// The modal windows the commands open: the colour, font and picture-file
// dialogs and the value dialogs. Each goes through a replaceable function so
// that the commands can be driven without a person at the screen.

#include <functional>

#include <QColor>
#include <QString>

#include <sarvik/platform/LOGFONTA.h>

class QDialog;
class QWidget;

struct CommandPrompts {
    // Colour dialog starting at `colour`; on OK `colour` is the choice.
    std::function<bool(QWidget* parent, QColor& colour)> color;
    // Font dialog with no initial font; on OK `font` is the choice.
    std::function<bool(QWidget* parent, LOGFONTA& font)> font;
    // Open-file dialog for a picture; empty when cancelled.
    std::function<QString(QWidget* parent)> picturePath;
    // Runs a value dialog modally; true on OK.
    std::function<bool(QDialog& dialog)> runDialog;
    // Save-file dialog for an export, starting at `start` (a folder and a
    // name) with one name filter; empty when cancelled.
    std::function<QString(QWidget* parent, const QString& start, const QString& filter)> exportPath;
    // A warning the user must acknowledge.
    std::function<void(QWidget* parent, const QString& message)> warning;
    // A question to go on or not; true to go on.
    std::function<bool(QWidget* parent, const QString& question)> confirm;
    // A note the user must acknowledge.
    std::function<void(QWidget* parent, const QString& message)> information;
};

// The prompts in use; tests replace members and call resetCommandPrompts().
CommandPrompts& commandPrompts();
void resetCommandPrompts();

// Where every colour dialog starts.
inline QColor initialPromptColor() {
    return QColor(255, 255, 100);
}

// The font a font dialog's choice stands for, with the face name in the
// code page the documents keep.
LOGFONTA logFontFromQFont(const class QFont& font);

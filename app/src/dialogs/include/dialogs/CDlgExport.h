#pragma once
// The export dialog: format, extent, and for PNG the scale and a transparent
// background. The choices live in the public member; the caller sets them,
// runs the dialog and reads them after OK.

#include <QDialog>

// What to export and how; kept in the profile between exports.
struct ExportChoices {
    // From Mm on, the page's trees as a map for other programs.
    enum Format {
        Png = 0, Svg = 1, Pdf = 2, Mm = 3, Opml = 4, Markdown = 5, Text = 6,
        XMind = 7, KityMinder = 8, Mermaid = 9, PlantUml = 10,
    };
    static bool isMap(int format) { return format >= Mm && format <= PlantUml; }
    int format = Png;
    bool selectionOnly = false;
    int scale = 100;          // PNG only: 100, 200 or 300 per cent
    bool transparent = false; // PNG only: leave the page's background out
    bool allPages = false;    // PDF only: every page of the document, one PDF page each
    QString title;            // PDF only: the document's title, not kept in the profile
};

class QButtonGroup;
class QCheckBox;
class QComboBox;

class CDlgExport : public QDialog {
    Q_OBJECT
public:
    explicit CDlgExport(QWidget* parent = nullptr);

    ExportChoices choices;
    // Whether "选定内容" can be chosen (something is selected).
    bool selectionAvailable = false;

    // Writes the choices into the controls (done when the dialog shows).
    void loadControls();
    // Reads the controls back into the choices.
    void saveControls();
    void accept() override;

    QButtonGroup* formatGroup() const { return format_; }
    QButtonGroup* extentGroup() const { return extent_; }
    QComboBox* scaleBox() const { return scale_; }
    QCheckBox* transparentBox() const { return transparent_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void updateEnabled();

    QButtonGroup* format_;
    QButtonGroup* extent_;
    QComboBox* scale_;
    QCheckBox* transparent_;
};

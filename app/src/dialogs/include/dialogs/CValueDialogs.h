#pragma once
// The small value dialogs of the property commands. Each keeps its values in
// public members: the caller sets them, runs the dialog and reads them after
// OK. OK first reads the controls back; a field that is not a whole number in
// its range is reported, focused and keeps the dialog open.

#include <vector>

#include <QDialog>

#include <rulmek/rulmek.h>

class QAbstractButton;
class QCheckBox;
class QLineEdit;
class QRadioButton;

// Reads a whole number in [lo, hi] from `edit`. Anything else is reported
// with the standard message (not an integer, or out of range), the field is
// focused and the answer is false.
bool readWholeNumber(QLineEdit* edit, int lo, int hi, int& value);

class CValueDlg : public QDialog {
    Q_OBJECT
public:
    // Writes the members into the controls (done when the dialog shows).
    void loadControls();
    // Reads the controls into the members; false, with a message and the
    // offending field focused, when a number is refused.
    bool saveControls();
    void accept() override;

protected:
    CValueDlg(const char* title, int width, int height, QWidget* parent);
    void showEvent(QShowEvent* event) override;
    QRect dlu(int x, int y, int w, int h) const;
    // Controls of the template, placed in dialog units.
    void addButtons(const char* okText, QRect ok, const char* cancelText, QRect cancel);
    QLineEdit* addIntEdit(int* member, int lo, int hi, QRect where);
    QCheckBox* addCheck(int* member, const char* text, QRect where);
    void addLabel(const char* text, QRect where);

private:
    struct IntField {
        QLineEdit* edit;
        int* member;
        int lo;
        int hi;
    };
    struct CheckField {
        QCheckBox* box;
        int* member;
    };
    std::vector<IntField> ints_;
    std::vector<CheckField> checks_;
    bool loaded_ = false;

protected:
    // Hooks of the dialogs with other controls.
    virtual void loadExtra() {}
    virtual void saveExtra() {}
};

// "线宽": the width of lines and frames.
class CDlgLineWide : public CValueDlg {
    Q_OBJECT
public:
    explicit CDlgLineWide(QWidget* parent = nullptr);
    int width = 2;
    QLineEdit* widthEdit = nullptr;
};

// "点大小": the radius of points.
class CDlgPointSize : public CValueDlg {
    Q_OBJECT
public:
    explicit CDlgPointSize(QWidget* parent = nullptr);
    int size = 0;
    QLineEdit* sizeEdit = nullptr;
};

// "线箭头": whether lines end in an arrow head, and its size.
class CDlgLineArrow : public CValueDlg {
    Q_OBJECT
public:
    explicit CDlgLineArrow(QWidget* parent = nullptr);
    int arrowSize = 30;
    int arrowType = 1; // 0 "无箭头", 1 "有箭头"
    QLineEdit* sizeEdit = nullptr;
    QRadioButton* noArrow = nullptr;
    QRadioButton* withArrow = nullptr;

protected:
    void loadExtra() override;
    void saveExtra() override;
};

// "线条渐变属性": a line that tapers and changes colour along its length.
class CDlgLineGradual : public CValueDlg {
    Q_OBJECT
public:
    explicit CDlgLineGradual(QWidget* parent = nullptr);
    int gradualWide = 1;
    int gradualColor = 1;
    int changeValue = 8;
    ZVector3 color{0.0f, 1.0f, 0.0f};
    QCheckBox* wideCheck = nullptr;
    QCheckBox* colorCheck = nullptr;
    QLineEdit* valueEdit = nullptr;
    QAbstractButton* colorButton = nullptr;

    // "渐变颜色值": asks for the gradient colour.
    void chooseColor();
};

// "线条水平偏移": lines that leave their parent sideways first.
class CDlgLineOffsetH : public CValueDlg {
    Q_OBJECT
public:
    explicit CDlgLineOffsetH(QWidget* parent = nullptr);
    int offsetOn = 1;
    int offset = 50;
    QCheckBox* offsetCheck = nullptr;
    QLineEdit* offsetEdit = nullptr;
};

// A colour dialog's choice as the shapes keep colours.
ZVector3 toVector3(const QColor& colour);

#pragma once
// "表格属性": the number of rows and columns of a fill-in table.

#include <QDialog>

class QLineEdit;
class QPushButton;

class CDlgJiuGongGe : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMinCount = 1;
    static constexpr int kMaxCount = 1000;

    explicit CDlgJiuGongGe(QWidget* parent = nullptr);

    // Both start at 3 every time; the dialog does not show a table's size.
    int rows = 3;
    int columns = 3;

    QLineEdit* rowsEdit() const { return rowsEdit_; }
    QLineEdit* columnsEdit() const { return columnsEdit_; }

    // Reads both fields; false, with the standard message and the offending
    // field focused, when one is not a whole number in 1..1000.
    bool readFields();
    void accept() override;

    // Runs the dialog; on OK stores the values in rows and columns.
    static bool ask(QWidget* parent, int& rows, int& columns);

private:
    QRect dlu(int x, int y, int w, int h) const;

    QLineEdit* rowsEdit_ = nullptr;
    QLineEdit* columnsEdit_ = nullptr;
};

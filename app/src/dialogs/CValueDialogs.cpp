#include "dialogs/CValueDialogs.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <sarvik/platform/ZMessage.h>

#include "dialogs/CommandPrompts.h"
#include "document/AppNames.h"

ZVector3 toVector3(const QColor& colour) {
    return ZVector3(static_cast<float>(colour.red()) / 255.0f,
                    static_cast<float>(colour.green()) / 255.0f,
                    static_cast<float>(colour.blue()) / 255.0f);
}

bool readWholeNumber(QLineEdit* edit, int lo, int hi, int& value) {
    bool ok = false;
    const int v = edit->text().trimmed().toInt(&ok);
    if (ok && v >= lo && v <= hi) {
        value = v;
        return true;
    }
    ZShowMessage(tavlo::kApplication,
                 ok ? QString("请输入 %1 和 %2 之间的整数。").arg(lo).arg(hi).toStdString()
                    : std::string("请输入一个整数。"));
    edit->setFocus();
    edit->selectAll();
    return false;
}

CValueDlg::CValueDlg(const char* title, int width, int height, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(title));
    setFixedSize(dlu(0, 0, width, height).size());
}

QRect CValueDlg::dlu(int x, int y, int w, int h) const {
    // Dialog units: a quarter of the average character width, an eighth of its height.
    const QFontMetrics fm(font());
    const double bx = fm.averageCharWidth() / 4.0;
    const double by = fm.height() / 8.0;
    return QRect(qRound(x * bx), qRound(y * by), qRound(w * bx), qRound(h * by));
}

void CValueDlg::addButtons(const char* okText, QRect ok, const char* cancelText, QRect cancel) {
    auto* okButton = new QPushButton(QString::fromUtf8(okText), this);
    okButton->setObjectName("ok");
    okButton->setGeometry(ok);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &CValueDlg::accept);
    auto* cancelButton = new QPushButton(QString::fromUtf8(cancelText), this);
    cancelButton->setObjectName("cancel");
    cancelButton->setGeometry(cancel);
    connect(cancelButton, &QPushButton::clicked, this, &CValueDlg::reject);
}

QLineEdit* CValueDlg::addIntEdit(int* member, int lo, int hi, QRect where) {
    auto* edit = new QLineEdit(this);
    edit->setGeometry(where);
    ints_.push_back({edit, member, lo, hi});
    return edit;
}

QCheckBox* CValueDlg::addCheck(int* member, const char* text, QRect where) {
    auto* box = new QCheckBox(QString::fromUtf8(text), this);
    box->setGeometry(where);
    checks_.push_back({box, member});
    return box;
}

void CValueDlg::addLabel(const char* text, QRect where) {
    (new QLabel(QString::fromUtf8(text), this))->setGeometry(where);
}

void CValueDlg::loadControls() {
    loaded_ = true;
    for (const IntField& f : ints_)
        f.edit->setText(QString::number(*f.member));
    for (const CheckField& f : checks_)
        f.box->setChecked(*f.member != 0);
    loadExtra();
    if (!ints_.empty()) {
        ints_.front().edit->setFocus();
        ints_.front().edit->selectAll();
    }
}

bool CValueDlg::saveControls() {
    // Every field is checked before any member changes, so a refusal leaves
    // the values as they were.
    std::vector<int> values;
    for (const IntField& f : ints_) {
        int v = 0;
        if (!readWholeNumber(f.edit, f.lo, f.hi, v))
            return false;
        values.push_back(v);
    }
    for (std::size_t i = 0; i < ints_.size(); ++i)
        *ints_[i].member = values[i];
    for (const CheckField& f : checks_)
        *f.member = f.box->isChecked() ? 1 : 0;
    saveExtra();
    return true;
}

void CValueDlg::accept() {
    if (saveControls())
        QDialog::accept();
}

void CValueDlg::showEvent(QShowEvent* event) {
    if (!loaded_)
        loadControls();
    QDialog::showEvent(event);
}

CDlgLineWide::CDlgLineWide(QWidget* parent) : CValueDlg("线宽", 192, 70, parent) {
    addButtons("确定", dlu(73, 49, 50, 14), "取消", dlu(135, 49, 50, 14));
    widthEdit = addIntEdit(&width, 1, 10, dlu(67, 11, 86, 17));
    addLabel("线宽", dlu(35, 15, 28, 10));
}

CDlgPointSize::CDlgPointSize(QWidget* parent) : CValueDlg("点大小", 192, 70, parent) {
    addButtons("确定", dlu(73, 49, 50, 14), "取消", dlu(135, 49, 50, 14));
    sizeEdit = addIntEdit(&size, 0, 20, dlu(67, 11, 86, 17));
    addLabel("大小", dlu(35, 15, 28, 10));
}

CDlgLineArrow::CDlgLineArrow(QWidget* parent) : CValueDlg("线箭头", 214, 86, parent) {
    addButtons("OK", dlu(38, 54, 50, 14), "Cancel", dlu(107, 56, 50, 14));
    noArrow = new QRadioButton("无箭头", this);
    noArrow->setGeometry(dlu(26, 12, 40, 10));
    withArrow = new QRadioButton("有箭头", this);
    withArrow->setGeometry(dlu(89, 15, 40, 10));
    sizeEdit = addIntEdit(&arrowSize, 1, 100, dlu(86, 31, 58, 14));
    addLabel("箭头大小", dlu(32, 34, 33, 8));
}

void CDlgLineArrow::loadExtra() {
    noArrow->setChecked(arrowType == 0);
    withArrow->setChecked(arrowType == 1);
}

void CDlgLineArrow::saveExtra() {
    // Neither button checked reads as the first of the group's absence: -1.
    arrowType = noArrow->isChecked() ? 0 : withArrow->isChecked() ? 1 : -1;
}

CDlgLineGradual::CDlgLineGradual(QWidget* parent) : CValueDlg("线条渐变属性", 237, 94, parent) {
    addButtons("确定", dlu(177, 14, 50, 14), "取消", dlu(179, 40, 50, 14));
    wideCheck = addCheck(&gradualWide, "粗细渐变", dlu(17, 15, 48, 10));
    addLabel("粗细变化值", dlu(17, 33, 41, 8));
    valueEdit = addIntEdit(&changeValue, 1, 8, dlu(73, 31, 75, 14));
    colorCheck = addCheck(&gradualColor, "颜色渐变", dlu(20, 63, 48, 10));
    auto* button = new QPushButton("渐变颜色值", this);
    button->setGeometry(dlu(74, 61, 50, 14));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, &CDlgLineGradual::chooseColor);
    colorButton = button;
}

void CDlgLineGradual::chooseColor() {
    QColor chosen = initialPromptColor();
    if (commandPrompts().color(this, chosen))
        color = toVector3(chosen);
}

CDlgLineOffsetH::CDlgLineOffsetH(QWidget* parent) : CValueDlg("线条水平偏移", 216, 74, parent) {
    addButtons("确定", dlu(158, 9, 50, 14), "取消", dlu(159, 31, 50, 14));
    offsetCheck = addCheck(&offsetOn, "水平偏移", dlu(18, 20, 48, 10));
    addLabel("偏移量", dlu(16, 44, 25, 8));
    offsetEdit = addIntEdit(&offset, -200, 200, dlu(47, 39, 66, 14));
}

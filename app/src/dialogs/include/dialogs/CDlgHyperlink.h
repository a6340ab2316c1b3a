#pragma once
// 超链接: sets a node's link to a web or mail address, a file, or another
// node of the document, or takes it away. The dialog only chooses; the
// command puts the choice on the page.

#include <string>
#include <vector>

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

class CDlgHyperlink : public QDialog {
    Q_OBJECT
public:
    // A node the link may name, as the list shows it.
    struct Target {
        int page = 0;
        QString text; // "page name: label"
    };
    enum class Choice { Address, Node, Remove };

    CDlgHyperlink(const QString& link, std::vector<Target> targets, int currentTarget,
                  QWidget* parent = nullptr);

    Choice choice() const { return choice_; }
    // The link typed, made ready to keep (see normaliseLink); empty unless
    // the choice is an address.
    const std::string& address() const { return address_; }
    // The index in the targets of the node chosen, or -1.
    int target() const;

    QLineEdit* addressField() const { return address_field_; }
    QRadioButton* addressButton() const { return addressButton_; }
    QRadioButton* nodeButton() const { return nodeButton_; }
    QListWidget* nodeList() const { return nodes_; }
    QLineEdit* filterField() const { return filter_; }
    QPushButton* removeButton() const { return remove_; }
    QLabel* problemLabel() const { return problem_; }

    // OK checks the choice and stays open, saying why, when it is not one.
    void accept() override;

private:
    void browse();
    void filterNodes(const QString& text);

    QLineEdit* address_field_ = nullptr;
    QRadioButton* addressButton_ = nullptr;
    QRadioButton* nodeButton_ = nullptr;
    QListWidget* nodes_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QPushButton* remove_ = nullptr;
    QLabel* problem_ = nullptr;
    Choice choice_ = Choice::Address;
    std::string address_;
};

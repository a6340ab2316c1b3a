#pragma once
// The row of page tabs at the bottom of a document window, with two scroll
// buttons at its left when there are more tabs than fit.

#include <string>
#include <vector>

#include <QFont>
#include <QWidget>

#include "folder/FolderTabLayout.h"

class CFolderButton;
class ZShapeData;

class CFolderTabCtrl : public QWidget {
    Q_OBJECT
public:
    enum Style { FrameAround = 1, ScrollButtons = 2 };

    CFolderTabCtrl(int tabStyle, QWidget* parent);

    // Appends a tab and returns its index (a strip of its own, without pages).
    int addItem(const std::string& name);
    // Removes the tab at `index`; out-of-range indexes are ignored.
    void removeItem(int index);
    int itemCount() const { return static_cast<int>(tabs_.size()); }
    const FolderTabItem& item(int index) const { return tabs_.at(static_cast<std::size_t>(index)); }
    std::string itemName(int index) const { return item(index).name; }
    // One tab per page of the document set below, named as the page.
    void readPages();

    int currentTab() const { return current_; }
    // Makes `index` current, repainting; ignored when out of range.
    void selectTab(int index);

    int firstVisible() const { return firstVisible_; }
    int totalWidth() const { return totalWidth_; }
    int buttonsWidth() const { return buttonsWidth_; }
    CFolderButton* button(int id) const { return id == 1 ? button1_ : button2_; }
    const QFont& tabFont(bool current) const { return current ? currentFont_ : normalFont_; }

    // Measures the names and places the tabs again.
    void recalcLayout();
    int hitTest(QPoint point) const;

    void setShapeData(ZShapeData* data) { data_ = data; }
    ZShapeData* shapeData() const { return data_; }

    // Scrolls the strip one tab towards the front (1) or the back (2).
    void scrollCommand(int id);

signals:
    // A click made another tab current.
    void tabNotify(int index);
    // A change of visual style gave the strip another height or width.
    void metricsChanged();

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void applyStyleMetrics();
    void placeButtons();
    void updateButtons();
    void drawTab(class QPainter& p, const FolderTabItem& tab, bool current) const;

    CFolderButton* button1_ = nullptr;
    CFolderButton* button2_ = nullptr;
    std::vector<FolderTabItem> tabs_;
    int tabStyle_;
    int current_ = 0;
    QFont normalFont_;
    QFont currentFont_;
    int totalWidth_ = 0;
    int buttonsWidth_ = 0;
    int firstVisible_ = 0;
    ZShapeData* data_ = nullptr; // not owned
};

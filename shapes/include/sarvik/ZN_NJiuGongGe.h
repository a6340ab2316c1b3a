#pragma once
// Fill-in table: a grid of cells into which its answer shapes are dropped.

#include <list>

#include <sarvik/ZN_NRect.h>

class ZN_NJiuGongGe : public ZN_NRect {
public:
    struct Cell {
        ZN_ShapeBase* shape = nullptr; // not owned; null when empty
        int index = 0;                 // position in cells, fixed at creation
    };

    // Clears the back-references of the shapes it holds or lists.
    ~ZN_NJiuGongGe() override;

    int type() const override { return 12; }
    void render() const override;
    ZN_ShapeBase* clone() const override;
    void releaseJiuGong(ZN_ShapeBase* shape) override;

    void setSizeValue(int rows, int columns);
    int getCol() const { return col; }
    int getRow() const { return row; }
    int setJiuGongPtr(int key, ZN_ShapeBase* shape);
    void addAnswerList(ZN_ShapeBase* shape) { answerList.push_back(shape); }
    void deleteAnswerList(ZN_ShapeBase* shape);
    void clearAnswerList();
    const std::list<Cell>& getCells() const { return cells; }
    const std::list<ZN_ShapeBase*>& getAnswerList() const { return answerList; }

protected:
    int col = 2;
    int row = 3;
    std::list<Cell> cells;
    std::list<ZN_ShapeBase*> answerList; // not owned
};

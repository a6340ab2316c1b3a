#pragma once
// Fill-in table: a box divided into a grid of equal cells into which the
// table's answer shapes are dropped and centred.

#include <cstddef>
#include <list>
#include <unordered_map>
#include <vector>

#include <sarvik/ZN_NRect.h>

class ZN_NJiuGongGe : public ZN_NRect {
public:
    struct Cell {
        ZN_ShapeBase* shape = nullptr; // not owned; null when empty
        int index = 0;                 // position in cells, fixed at creation
    };

    // Largest row or column count a table takes; the table dialog stops there too.
    static constexpr int kMaxCount = 1000;

    ZN_NJiuGongGe() = default;
    // Unlists the table from its answers and unbinds the shapes in its cells;
    // neither is destroyed.
    ~ZN_NJiuGongGe() override;

    int type() const override { return 12; }
    void render() const override;
    // The box's hit code, or 10 + k for a point strictly inside cell k.
    int InPoint(const ZVector2& pos, ZObj2DInPoint* info, float tolerance) const override;
    void writeFile(ZFile* file, int version) override;
    void readFile(ZFile* file, int version) override;
    void saveRelating(ZFile* file, int version) override;
    void loadRelating(ZFile* file, const ZN_ShapeIndex& shapes, int version) override;
    ZN_ShapeBase* clone() const override;
    void deepCopy(ZN_ShapeBase* target) const override;
    ZN_ShapeBase* setRelating(const ZN_ShapeIndex& copies) const override;
    void releaseJiuGong(ZN_ShapeBase* shape) override;
    // Centres every placed text and rectangle-like box in its cell.
    void makeInvide() override;

    // Sets the grid to rows x columns and appends empty cells up to that many;
    // cells are never removed. Counts outside 1..kMaxCount are ignored.
    void setSizeValue(int rows, int columns);
    int getCol() const { return col; } // number of rows
    int getRow() const { return row; } // number of columns
    // Places an answer in the empty cell `key`; 1 on success, 0 when refused.
    int setJiuGongPtr(int key, ZN_ShapeBase* shape);

    void addAnswerList(ZN_ShapeBase* shape);
    void deleteAnswerList(ZN_ShapeBase* shape);
    void clearAnswerList();
    bool isAnswer(const ZN_ShapeBase* shape) const { return answerSlots.count(shape) != 0; }

    const std::vector<Cell>& getCells() const { return cells; }
    const std::list<ZN_ShapeBase*>& getAnswerList() const { return answerList; }

protected:
    // Cells that take part in the grid: the first rows x columns that exist.
    std::size_t gridCellCount() const;
    // Puts `shape` into cell k and binds it to this table.
    void bindCell(std::size_t k, ZN_ShapeBase* shape);
    // Empties every cell and drops the back-references that name this table.
    void unbindAllCells();

    int col = 2;
    int row = 3;
    std::vector<Cell> cells;             // owned records, row-major
    std::list<ZN_ShapeBase*> answerList; // not owned

private:
    // Where each shape sits, so that releasing or destroying a placed shape
    // does not walk a grid that may hold a million cells.
    std::unordered_map<const ZN_ShapeBase*, std::size_t> cellOf;
    // Each answer's entries in answerList in list order, so that removing the
    // first occurrence of an answer does not walk the whole list.
    std::unordered_map<const ZN_ShapeBase*, std::vector<std::list<ZN_ShapeBase*>::iterator>>
        answerSlots;
};

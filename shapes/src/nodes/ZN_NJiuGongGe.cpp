// Fill-in table model: grid geometry, placing and releasing shapes, answer
// lists, the table record and its relation extension. Drawing is in
// ZN_NJiuGongGeRender.cpp.

#include <sarvik/ZN_NJiuGongGe.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <sarvik/ZN_SText.h>
#include <sarvik/platform/ZFile.h>

namespace {

// A table holds at most as many cells as the largest grid it can be given.
constexpr std::int64_t kMaxCells =
    static_cast<std::int64_t>(ZN_NJiuGongGe::kMaxCount) * ZN_NJiuGongGe::kMaxCount;

bool countInRange(std::int32_t value) {
    return value >= 1 && value <= ZN_NJiuGongGe::kMaxCount;
}

// Reads a count of int32 ids and refuses one that the rest of the file cannot
// hold or that exceeds `limit`, before anything is allocated.
bool readIdCount(ZFile* file, std::int64_t limit, std::int32_t& count) {
    count = file->readInt32();
    if (file->failed())
        return false;
    if (count < 0 || count > limit ||
        static_cast<std::uint64_t>(count) * 4u > file->remaining()) {
        file->setFailed();
        return false;
    }
    return true;
}

// The cell in [lo, lo + n) whose open interval (origin + k*size, origin + (k+1)*size)
// holds v, computed the way a walk over the cells would; -1 on a grid line or outside.
int cellAlong(float v, float origin, float size, int n) {
    if (!(size > 0.0f) || n <= 0)
        return -1;
    const float guess = std::floor((v - origin) / size);
    if (!(guess > -2.0f) || !(guess < static_cast<float>(n) + 1.0f))
        return -1;
    const int g = static_cast<int>(guess);
    // Rounding may put the quotient one cell off; the interval test decides.
    for (int k = g - 1; k <= g + 1; ++k) {
        if (k < 0 || k >= n)
            continue;
        const float lo = origin + static_cast<float>(k) * size;
        const float hi = origin + static_cast<float>(k + 1) * size;
        if (lo < v && v < hi)
            return k;
    }
    return -1;
}

} // namespace

ZN_NJiuGongGe::~ZN_NJiuGongGe() {
    clearAnswerList();
    unbindAllCells();
    cells.clear();
}

std::size_t ZN_NJiuGongGe::gridCellCount() const {
    if (col <= 0 || row <= 0)
        return 0;
    const std::int64_t grid = static_cast<std::int64_t>(col) * row;
    return static_cast<std::size_t>(std::min<std::int64_t>(grid, static_cast<std::int64_t>(cells.size())));
}

void ZN_NJiuGongGe::bindCell(std::size_t k, ZN_ShapeBase* shape) {
    cells[k].shape = shape;
    cellOf[shape] = k;
    shape->setJiuGongHost(this);
}

void ZN_NJiuGongGe::unbindAllCells() {
    for (Cell& cell : cells) {
        if (cell.shape && cell.shape->getJiuGongHost() == this)
            cell.shape->setJiuGongHost(nullptr);
        cell.shape = nullptr;
    }
    cellOf.clear();
}

void ZN_NJiuGongGe::setSizeValue(int rows, int columns) {
    if (!countInRange(rows) || !countInRange(columns))
        return;
    col = rows;
    row = columns;
    const std::size_t wanted = static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
    if (cells.size() >= wanted)
        return;
    cells.reserve(wanted);
    while (cells.size() < wanted)
        cells.push_back(Cell{nullptr, static_cast<int>(cells.size())});
}

int ZN_NJiuGongGe::setJiuGongPtr(int key, ZN_ShapeBase* shape) {
    // Cells keep the index they were created with, which is their position.
    if (!shape || key < 0 || static_cast<std::size_t>(key) >= gridCellCount())
        return 0;
    const std::size_t k = static_cast<std::size_t>(key);
    if (cells[k].shape || !isAnswer(shape))
        return 0;
    // A shape sits in one cell at a time; left bound elsewhere, that other
    // table would keep a pointer to it after it is destroyed.
    if (ZN_ShapeBase* host = shape->getJiuGongHost())
        host->releaseJiuGong(shape);
    bindCell(k, shape);
    makeInvide();
    return 1;
}

void ZN_NJiuGongGe::releaseJiuGong(ZN_ShapeBase* shape) {
    auto it = cellOf.find(shape);
    if (it == cellOf.end())
        return;
    cells[it->second].shape = nullptr;
    cellOf.erase(it);
    if (shape->getJiuGongHost() == this)
        shape->setJiuGongHost(nullptr);
}

void ZN_NJiuGongGe::makeInvide() {
    const std::size_t n = gridCellCount();
    if (n == 0 || cellOf.empty())
        return;
    const float w = (point2.X() - point1.X()) / static_cast<float>(row);
    const float h = (point2.Y() - point1.Y()) / static_cast<float>(col);
    // Each placed shape sits in exactly one cell, so visiting the placed
    // shapes instead of the whole grid lays out the same cells.
    for (const auto& [placed, k] : cellOf) {
        if (k >= n)
            continue; // kept from a larger grid: bound, but no longer laid out
        ZN_ShapeBase* shape = cells[k].shape;
        const int t = shape->type();
        if (t != 5 && (t < 7 || t > 10))
            continue;
        const int i = static_cast<int>(k / static_cast<std::size_t>(row));
        const int j = static_cast<int>(k % static_cast<std::size_t>(row));
        const float x0 = point1.X() + static_cast<float>(j) * w;
        const float y0 = point1.Y() + static_cast<float>(i) * h;
        const ZVector2 size = shape->getPoint2() - shape->getPoint1();
        const ZVector2 s1(x0 + (w - size.X()) * 0.5f, y0 + (h - size.Y()) * 0.5f);
        const ZVector2 s2 = s1 + size;
        if (auto* text = dynamic_cast<ZN_SText*>(shape)) {
            text->setRect(s1, s2);
        } else if (auto* box = dynamic_cast<ZN_NRect*>(shape)) {
            box->setPoint1(s1);
            box->setPoint2(s2);
        }
    }
}

int ZN_NJiuGongGe::InPoint(const ZVector2& pos, ZObj2DInPoint* info, float tolerance) const {
    const int r = ZN_NRect::InPoint(pos, info, tolerance);
    if (r == 0)
        return 0;
    const ZVector2 offset = getScallPosition();
    const ZVector2 a = point1 - offset;
    const ZVector2 b = point2 - offset;
    if (col <= 0 || row <= 0)
        return r;
    const float w = (b.X() - a.X()) / static_cast<float>(row);
    const float h = (b.Y() - a.Y()) / static_cast<float>(col);
    const int i = cellAlong(pos.Y(), a.Y(), h, col);
    const int j = cellAlong(pos.X(), a.X(), w, row);
    if (i < 0 || j < 0)
        return r;
    return 10 + i * row + j;
}

// --- answers ---

void ZN_NJiuGongGe::addAnswerList(ZN_ShapeBase* shape) {
    answerList.push_back(shape);
    answerSlots[shape].push_back(std::prev(answerList.end()));
}

void ZN_NJiuGongGe::deleteAnswerList(ZN_ShapeBase* shape) {
    auto it = answerSlots.find(shape);
    if (it == answerSlots.end())
        return;
    std::vector<std::list<ZN_ShapeBase*>::iterator>& slots = it->second;
    answerList.erase(slots.front());
    slots.erase(slots.begin());
    if (slots.empty())
        answerSlots.erase(it);
}

void ZN_NJiuGongGe::clearAnswerList() {
    // Swap first: an answer's host-list removal must not reach back into a
    // list that is being walked.
    std::list<ZN_ShapeBase*> answers;
    answers.swap(answerList);
    answerSlots.clear();
    for (ZN_ShapeBase* shape : answers)
        if (shape)
            shape->deleteAnswerHostList(this);
}

// --- copying ---

ZN_ShapeBase* ZN_NJiuGongGe::clone() const {
    auto* copy = new ZN_NJiuGongGe();
    deepCopy(copy);
    return copy;
}

void ZN_NJiuGongGe::deepCopy(ZN_ShapeBase* target) const {
    ZN_NRect::deepCopy(target);
    auto* table = dynamic_cast<ZN_NJiuGongGe*>(target);
    if (!table || table == this)
        return;
    table->col = col;
    table->row = row;
}

ZN_ShapeBase* ZN_NJiuGongGe::setRelating(const ZN_ShapeIndex& copies) const {
    ZN_ShapeBase* result = ZN_NRect::setRelating(copies);
    auto* copy = dynamic_cast<ZN_NJiuGongGe*>(result);
    if (!copy || copy == this)
        return result;
    copy->unbindAllCells();
    copy->cells.assign(cells.size(), Cell{});
    for (std::size_t k = 0; k < cells.size(); ++k) {
        copy->cells[k].index = cells[k].index;
        const ZN_ShapeBase* placed = cells[k].shape;
        if (!placed)
            continue;
        ZN_ShapeBase* twin = copies.find(placed->getId());
        if (twin && !twin->getJiuGongHost())
            copy->bindCell(k, twin);
    }
    for (const ZN_ShapeBase* answer : answerList)
        if (answer)
            if (ZN_ShapeBase* twin = copies.find(answer->getId()))
                copy->addAnswerList(twin);
    return result;
}

// --- records ---

void ZN_NJiuGongGe::writeFile(ZFile* file, int version) {
    ZN_NRect::writeFile(file, version);
    file->writeInt32(col);
    file->writeInt32(row);
}

void ZN_NJiuGongGe::readFile(ZFile* file, int version) {
    ZN_NRect::readFile(file, version);
    if (file->failed())
        return;
    const std::int32_t rows = file->readInt32();
    const std::int32_t columns = file->readInt32();
    if (file->failed())
        return;
    // The grid is drawn line by line and hit-tested cell by cell; a count no
    // table dialog can give would stall both.
    if (!countInRange(rows) || !countInRange(columns)) {
        file->setFailed();
        return;
    }
    col = rows;
    row = columns;
}

void ZN_NJiuGongGe::saveRelating(ZFile* file, int version) {
    ZN_NRect::saveRelating(file, version);
    file->writeInt32(static_cast<std::int32_t>(cells.size()));
    for (const Cell& cell : cells)
        file->writeInt32(cell.shape ? cell.shape->getId() : 0);
    file->writeInt32(static_cast<std::int32_t>(answerList.size()));
    for (const ZN_ShapeBase* answer : answerList)
        file->writeInt32(answer ? answer->getId() : 0);
}

void ZN_NJiuGongGe::loadRelating(ZFile* file, const ZN_ShapeIndex& shapes, int version) {
    ZN_NRect::loadRelating(file, shapes, version);
    if (file->failed())
        return;
    std::int32_t n = 0;
    if (!readIdCount(file, kMaxCells, n))
        return;
    unbindAllCells();
    cells.assign(static_cast<std::size_t>(n), Cell{});
    for (std::int32_t k = 0; k < n; ++k)
        cells[static_cast<std::size_t>(k)].index = k;
    for (std::int32_t k = 0; k < n; ++k) {
        const std::int32_t id = file->readInt32();
        if (file->failed())
            return;
        if (id == 0)
            continue;
        // A damaged file may name one shape in several cells; the first keeps it.
        ZN_ShapeBase* shape = shapes.find(id);
        if (shape && !shape->getJiuGongHost())
            bindCell(static_cast<std::size_t>(k), shape);
    }
    std::int32_t m = 0;
    if (!readIdCount(file, kMaxCells, m))
        return;
    for (std::int32_t k = 0; k < m; ++k) {
        const std::int32_t id = file->readInt32();
        if (file->failed())
            return;
        if (ZN_ShapeBase* shape = shapes.find(id))
            addAnswerList(shape);
    }
}

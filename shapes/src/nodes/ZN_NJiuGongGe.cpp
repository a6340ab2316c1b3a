#include <sarvik/ZN_NJiuGongGe.h>

#include <algorithm>

ZN_NJiuGongGe::~ZN_NJiuGongGe() {
    for (Cell& cell : cells) {
        if (cell.shape && cell.shape->getJiuGongHost() == this)
            cell.shape->setJiuGongHost(nullptr);
        cell.shape = nullptr;
    }
    std::list<ZN_ShapeBase*> answers;
    answers.swap(answerList);
    for (ZN_ShapeBase* shape : answers)
        if (shape)
            shape->deleteAnswerHostList(this);
}

ZN_ShapeBase* ZN_NJiuGongGe::clone() const {
    auto* copy = new ZN_NJiuGongGe();
    deepCopy(copy);
    return copy;
}

void ZN_NJiuGongGe::releaseJiuGong(ZN_ShapeBase* shape) {
    for (Cell& cell : cells) {
        if (cell.shape == shape) {
            cell.shape = nullptr;
            if (shape)
                shape->setJiuGongHost(nullptr);
        }
    }
}

void ZN_NJiuGongGe::setSizeValue(int rows, int columns) {
    col = rows;
    row = columns;
    const long long wanted = static_cast<long long>(rows) * columns;
    while (static_cast<long long>(cells.size()) < wanted)
        cells.push_back(Cell{nullptr, static_cast<int>(cells.size())});
}

int ZN_NJiuGongGe::setJiuGongPtr(int key, ZN_ShapeBase* shape) {
    for (Cell& cell : cells) {
        if (cell.index == key) {
            cell.shape = shape;
            return 1;
        }
    }
    return 0;
}

void ZN_NJiuGongGe::deleteAnswerList(ZN_ShapeBase* shape) {
    auto it = std::find(answerList.begin(), answerList.end(), shape);
    if (it != answerList.end())
        answerList.erase(it);
}

void ZN_NJiuGongGe::clearAnswerList() { answerList.clear(); }

#include <sarvik/ZN_ShapeBase.h>

#include <algorithm>

#include <sarvik/ZN_BackRgn.h>
#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_NRectVariants.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/platform/ZFile.h>

namespace {

template <class List> void eraseFirst(List& list, const void* item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end())
        list.erase(it);
}

// Ids in one record are bounded by what the rest of the file can hold: each
// takes four bytes, so a larger count is refused before anything is read.
bool readCount(ZFile* file, std::int32_t& count) {
    count = file->readInt32();
    if (file->failed())
        return false;
    if (count < 0 || static_cast<std::uint64_t>(count) * 4u > file->remaining()) {
        file->setFailed();
        return false;
    }
    return true;
}

} // namespace

// ---------------------------------------------------------------- ZN_ShapeIndex

ZN_ShapeIndex::ZN_ShapeIndex(const std::list<ZN_ShapeBase*>& shapes) { build(shapes); }
ZN_ShapeIndex::ZN_ShapeIndex(const std::vector<ZN_ShapeBase*>& shapes) { build(shapes); }

void ZN_ShapeIndex::build(const std::list<ZN_ShapeBase*>& shapes) { fill(shapes); }
void ZN_ShapeIndex::build(const std::vector<ZN_ShapeBase*>& shapes) { fill(shapes); }

template <class Shapes> void ZN_ShapeIndex::fill(const Shapes& shapes) {
    inOrder_ = nullptr;
    byId_.assign(shapes.size() + 1, nullptr);
    outOfRange_.clear();
    for (ZN_ShapeBase* shape : shapes) {
        if (!shape)
            continue;
        const int id = shape->getId();
        if (id >= 0 && static_cast<std::size_t>(id) < byId_.size()) {
            if (!byId_[static_cast<std::size_t>(id)])
                byId_[static_cast<std::size_t>(id)] = shape;
        } else {
            outOfRange_.emplace_back(id, shape);
        }
    }
    // Ids outside 0..n are rare (only lists that were never renumbered); a
    // stable sort keeps the first holder of each id in front for the search.
    std::stable_sort(outOfRange_.begin(), outOfRange_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

ZN_ShapeIndex ZN_ShapeIndex::numberedInOrder(const std::vector<ZN_ShapeBase*>& shapes) {
    ZN_ShapeIndex index;
    index.inOrder_ = &shapes;
    return index;
}

ZN_ShapeBase* ZN_ShapeIndex::find(int id) const {
    if (inOrder_)
        return id >= 1 && static_cast<std::size_t>(id) <= inOrder_->size()
                   ? (*inOrder_)[static_cast<std::size_t>(id) - 1]
                   : nullptr;
    if (id >= 0 && static_cast<std::size_t>(id) < byId_.size())
        return byId_[static_cast<std::size_t>(id)];
    auto it = std::lower_bound(outOfRange_.begin(), outOfRange_.end(), id,
                               [](const auto& entry, int key) { return entry.first < key; });
    if (it != outOfRange_.end() && it->first == id)
        return it->second;
    return nullptr;
}

// ---------------------------------------------------------------- ZN_ShapeBase

ZN_ShapeBase::~ZN_ShapeBase() {
    if (gridSlot >= 0)
        detail::noteShapeGone();
    clearAnswerHostList();
    if (jiuGongHost)
        jiuGongHost->releaseJiuGong(this);
    deleteLabel();
    if (!inputList.empty() || !outputList.empty())
        detail::noteRelationChange();
    for (ZN_ShapeBase* from : inputList)
        if (from)
            eraseFirst(from->outputList, this);
    for (ZN_ShapeBase* to : outputList)
        if (to)
            eraseFirst(to->inputList, this);
}

void ZN_ShapeBase::change(const ZVector2&, int) {}
bool ZN_ShapeBase::IntersectRect(const ZVector2&, const ZVector2&) const { return false; }
void ZN_ShapeBase::loadCursor(ZCursor, int) {}
int ZN_ShapeBase::InPoint(const ZVector2&, ZObj2DInPoint*, float) const { return 0; }
ZVector2 ZN_ShapeBase::getRegionPos(int) { return ZVector2(0.0f, 0.0f); }
ZVector2 ZN_ShapeBase::getBoderPos(int, const ZVector2&) { return ZVector2(0.0f, 0.0f); }
ZVector2 ZN_ShapeBase::getPoint1() const { return ZVector2(0.0f, 0.0f); }
ZVector2 ZN_ShapeBase::getPoint2() const { return ZVector2(0.0f, 0.0f); }

void ZN_ShapeBase::writeFile(ZFile* file, int version) {
    if (label) {
        file->writeInt32(1);
        label->writeFile(file, version);
    } else {
        file->writeInt32(0);
    }
}

void ZN_ShapeBase::readFile(ZFile* file, int version) {
    const std::int32_t hasLabel = file->readInt32();
    if (file->failed() || hasLabel == 0)
        return;
    // A text never carries a label of its own; refusing one keeps a crafted
    // file from nesting labels until the stack runs out.
    if (type() == 5) {
        file->setFailed();
        return;
    }
    auto* text = new ZN_SText();
    deleteLabel();
    label = text;
    text->readFile(file, version);
    text->setHost(this);
}

void ZN_ShapeBase::saveRelating(ZFile* file, int) {
    auto writeIds = [file](const auto& list) {
        file->writeInt32(static_cast<std::int32_t>(list.size()));
        for (const ZN_ShapeBase* shape : list)
            file->writeInt32(shape ? shape->getId() : 0);
    };
    writeIds(inputList);
    writeIds(outputList);
    writeIds(answerHostList);
}

void ZN_ShapeBase::loadRelating(ZFile* file, const ZN_ShapeIndex& shapes, int version) {
    auto readIds = [&](auto& list, auto cast) -> bool {
        std::int32_t count = 0;
        if (!readCount(file, count))
            return false;
        for (std::int32_t i = 0; i < count; ++i) {
            const std::int32_t id = file->readInt32();
            if (file->failed())
                return false;
            if (ZN_ShapeBase* found = shapes.find(id)) {
                if (auto* typed = cast(found))
                    list.push_back(typed);
            }
        }
        return true;
    };
    auto asShape = [](ZN_ShapeBase* s) { return s; };
    detail::noteRelationChange();
    if (!readIds(inputList, asShape) || !readIds(outputList, asShape))
        return;
    if (version > 6)
        readIds(answerHostList, [](ZN_ShapeBase* s) { return dynamic_cast<ZN_NJiuGongGe*>(s); });
}

ZN_ShapeBase* ZN_ShapeBase::clone() const { return nullptr; }

void ZN_ShapeBase::deepCopy(ZN_ShapeBase* target) const {
    if (!target || target == this)
        return;
    target->touchGeometry();
    target->show = show;
    target->id = id;
    target->fields_ = fields_;
    if (label) {
        auto* copy = static_cast<ZN_SText*>(label->clone());
        if (copy)
            copy->setHost(target);
        target->deleteLabel();
        target->label = copy;
    }
}

ZN_ShapeBase* ZN_ShapeBase::setRelating(const ZN_ShapeIndex& copies) const {
    ZN_ShapeBase* copy = copies.find(id);
    if (!copy)
        return nullptr;
    detail::noteRelationChange();
    copy->inputList.reserve(copy->inputList.size() + inputList.size());
    copy->outputList.reserve(copy->outputList.size() + outputList.size());
    for (ZN_ShapeBase* in : inputList)
        if (in)
            if (ZN_ShapeBase* c = copies.find(in->getId()))
                copy->inputList.push_back(c);
    for (ZN_ShapeBase* out : outputList)
        if (out)
            if (ZN_ShapeBase* c = copies.find(out->getId()))
                copy->outputList.push_back(c);
    for (ZN_NJiuGongGe* host : answerHostList)
        if (host)
            if (auto* c = dynamic_cast<ZN_NJiuGongGe*>(copies.find(host->getId())))
                copy->answerHostList.push_back(c);
    return copy;
}

void ZN_ShapeBase::loadRelatingList(ZFile* file, std::list<ZN_ShapeBase*>& shapes, int version) {
    loadRelating(file, ZN_ShapeIndex(shapes), version);
}

ZN_ShapeBase* ZN_ShapeBase::setRelatingList(std::list<ZN_ShapeBase*>& copies) const {
    return setRelating(ZN_ShapeIndex(copies));
}

void ZN_ShapeBase::resetLabelPosition() {}
void ZN_ShapeBase::setLineWide(int) {}
int ZN_ShapeBase::getLineWide() const { return 0; }
void ZN_ShapeBase::setColor(const ZVector3&) {}
ZVector3 ZN_ShapeBase::getColor() const { return ZVector3(1.0f, 1.0f, 1.0f); }

void ZN_ShapeBase::setFont(const LOGFONTA& font) {
    if (label)
        label->setFont(font);
}

LOGFONTA ZN_ShapeBase::getFont() const {
    if (label)
        return label->getFont();
    return LOGFONTA{};
}

void ZN_ShapeBase::setFontColor(const ZVector3& colour) {
    if (label)
        label->setFontColor(colour);
}

ZVector3 ZN_ShapeBase::getFontColor() const {
    if (label)
        return label->getFontColor();
    return ZVector3(1.0f, 1.0f, 1.0f);
}

void ZN_ShapeBase::releaseJiuGong(ZN_ShapeBase*) {}

const ZN_NodeFields& ZN_ShapeBase::getFields() const {
    static const ZN_NodeFields none;
    return fields_ ? *fields_ : none;
}

void ZN_ShapeBase::setFields(ZN_NodeFields value) {
    setFields(value.empty() ? ZN_SharedFields{}
                            : std::make_shared<const ZN_NodeFields>(std::move(value)));
}

void ZN_ShapeBase::setFields(ZN_SharedFields value) {
    if (value && value->empty())
        value.reset();
    // Whether a connector is a cross link decides where walks down a tree go.
    if ((value && value->crossLink) != isCrossLink())
        detail::noteRelationChange();
    fields_ = std::move(value);
    touchGeometry();
}

void ZN_ShapeBase::deleteLabel() {
    ZN_SText* old = label;
    label = nullptr;
    delete old;
}

void ZN_ShapeBase::deleteInput(ZN_ShapeBase* s) {
    detail::noteRelationChange();
    eraseFirst(inputList, s);
}

void ZN_ShapeBase::deleteOutput(ZN_ShapeBase* s) {
    detail::noteRelationChange();
    eraseFirst(outputList, s);
}

ZN_ShapeBase* ZN_ShapeBase::findShape(int wanted, std::list<ZN_ShapeBase*>& shapes) const {
    for (ZN_ShapeBase* shape : shapes)
        if (shape && shape->getId() == wanted)
            return shape;
    return nullptr;
}

void ZN_ShapeBase::deleteAnswerHostList(ZN_NJiuGongGe* table) { eraseFirst(answerHostList, table); }

void ZN_ShapeBase::clearAnswerHostList() {
    // Swap first: a table's answer-list removal must not reach back into a
    // list that is being walked.
    std::vector<ZN_NJiuGongGe*> hosts;
    hosts.swap(answerHostList);
    for (ZN_NJiuGongGe* table : hosts)
        if (table)
            table->deleteAnswerList(this);
}

void ZN_ShapeBase::forgetRelations() {
    detail::noteRelationChange();
    inputList.clear();
    outputList.clear();
    answerHostList.clear();
}

ZN_ShapeBase* ZN_ShapeBase::createShape(int type) {
    switch (type) {
    case 1: return new ZN_NLine();
    case 2: return new ZN_NPoint();
    case 3: return new ZN_Node();
    case 4: return new ZN_SImage();
    case 5: return new ZN_SText();
    case 6: return new ZN_NRegion();
    case 7: return new ZN_NRect();
    case 8: return new ZN_NEllipse();
    case 9: return new ZN_NRoundRect();
    case 10: return new ZN_NRhombus();
    case 12: return new ZN_NJiuGongGe();
    case 13: return new ZN_NParal();
    default: return nullptr; // 11 is the manager's own capture frame
    }
}

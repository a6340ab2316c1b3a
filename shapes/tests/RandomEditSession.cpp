#include "RandomEditSession.h"

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include <algorithm>
#include <list>
#include <memory>
#include <random>
#include <sstream>
#include <unordered_map>

#include "model/index/ShapeGrid.h"

namespace randomedit {

namespace {

constexpr int kVersion = 8;
// Pages stay small, so that a sequence takes milliseconds under the sanitizers.
constexpr std::size_t kMostShapes = 48;

using Bytes = std::vector<std::uint8_t>;

const char* opName(Op op) {
    static const char* const names[] = {"AddBox", "AddText", "AddTable", "AddPoint", "Connect",
                                        "Label",  "Move",    "Resize",   "Collapse", "Expand",
                                        "Arrange", "Delete", "CopyPaste", "Answers", "Undo",
                                        "Redo",   "Save",    "Reload"};
    return names[static_cast<int>(op)];
}

Bytes bytesOf(ZN_ShapeManager& page) {
    auto file = ZFile::toMemory();
    page.writeFile(file.get(), kVersion);
    return file->takeBytes();
}

std::unique_ptr<ZN_ShapeManager> readPage(const Bytes& bytes) {
    auto page = std::make_unique<ZN_ShapeManager>();
    auto file = ZFile::fromMemory(bytes);
    if (!page->readFile(file.get(), kVersion))
        return nullptr;
    return page;
}

ZVector2 middleOf(const ZN_ShapeBase* shape) {
    if (shape->type() == 1) {
        const auto& points = static_cast<const ZN_NLine*>(shape)->getPoints();
        if (points.empty())
            return ZVector2(0.0f, 0.0f);
        return (points.front() + points.back()) * 0.5f;
    }
    return (shape->getPoint1() + shape->getPoint2()) * 0.5f;
}

class Session {
public:
    Session() : page(std::make_unique<ZN_ShapeManager>()) {}
    ~Session() {
        for (ZN_ShapeBase* shape : clipboard)
            delete shape;
    }

    std::string run(const std::vector<Step>& steps) {
        for (std::size_t i = 0; i < steps.size() && failure.empty(); ++i) {
            at = i;
            apply(steps[i]);
        }
        return failure;
    }

private:
    void fail(const std::string& what) {
        if (failure.empty())
            failure = "step " + std::to_string(at) + ": " + what;
    }

    const std::vector<ZN_ShapeBase*>& shapes() const {
        const ZN_ShapeManager& readOnly = *page;
        return readOnly.getShapeArray();
    }

    // The shape numbered `n` among those `keep` accepts; null when none does.
    template <class Keep> ZN_ShapeBase* pick(std::uint32_t n, Keep keep) const {
        std::vector<ZN_ShapeBase*> fit;
        for (ZN_ShapeBase* s : shapes())
            if (keep(s))
                fit.push_back(s);
        return fit.empty() ? nullptr : fit[n % fit.size()];
    }
    ZN_ShapeBase* pickNode(std::uint32_t n) const {
        return pick(n, [](const ZN_ShapeBase* s) { return s->type() != 1; });
    }

    // Selects the shapes whose bit in `mask` is set, as a click or a band would.
    std::list<ZN_ShapeBase*> select(std::uint32_t mask) {
        page->clearSelect();
        std::list<ZN_ShapeBase*> chosen;
        const auto& all = shapes();
        for (std::size_t i = 0; i < all.size(); ++i)
            if ((mask >> (i % 32)) & 1u) {
                all[i]->setSelected(true);
                chosen.push_back(all[i]);
            }
        return chosen;
    }

    // What the editor does before every change.
    void snapshot() {
        page->getUndoRedo()->copyAllTooplist(true);
        undone.push_back(bytesOf(*page));
        if (undone.size() > static_cast<std::size_t>(ZNRedoUndo::maxSnapshots))
            undone.erase(undone.begin());
        redone.clear();
    }

    void addShape(ZN_ShapeBase* shape, bool front) {
        if (front)
            page->addShapeFront(shape);
        else
            page->addShape(shape);
    }

    static ZN_SText* makeLabel(ZN_ShapeBase* host, std::uint32_t text) {
        auto* label = new ZN_SText();
        const std::string words = "标签 " + std::to_string(text % 1000);
        label->setText(words.c_str());
        const ZVector2 m = middleOf(host);
        label->setRect(m - ZVector2(20.0f, 8.0f), m + ZVector2(20.0f, 8.0f));
        label->setHost(host);
        return label;
    }

    void apply(const Step& s);
    void undo();
    void redo();
    void reload(bool oldGoesFirst);
    void copyPaste(const Step& s);
    void answers(const Step& s);
    void compareWithFresh();

    std::unique_ptr<ZN_ShapeManager> page;
    std::vector<Bytes> undone; // the page as each undo must bring it back, newest last
    std::vector<Bytes> redone; // likewise for redo
    std::list<ZN_ShapeBase*> clipboard; // outlives the pages, as the editor's does
    std::string failure;
    std::size_t at = 0;
};

void Session::apply(const Step& s) {
    const bool full = shapes().size() >= kMostShapes;
    switch (s.op) {
    case Op::AddBox: {
        if (full)
            return;
        static const int kinds[] = {7, 8, 9, 10, 13};
        snapshot();
        auto* box = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(kinds[s.a % 5]));
        const float x = static_cast<float>(s.b % 40) * 30.0f;
        const float y = static_cast<float>((s.b / 40) % 30) * 25.0f;
        box->setPoint1(ZVector2(x, y));
        box->setPoint2(ZVector2(x + 20.0f + static_cast<float>(s.c % 80), y + 12.0f + static_cast<float>(s.c % 40)));
        if (s.d % 2)
            box->setLabel(makeLabel(box, s.c));
        addShape(box, false);
        return;
    }
    case Op::AddText: {
        if (full)
            return;
        snapshot();
        auto* text = new ZN_SText();
        text->setText(("答案 " + std::to_string(s.a % 100)).c_str());
        const float x = static_cast<float>(s.b % 40) * 30.0f;
        const float y = static_cast<float>((s.b / 40) % 30) * 25.0f;
        text->setRect(ZVector2(x, y), ZVector2(x + 30.0f, y + 14.0f));
        addShape(text, s.d % 2);
        return;
    }
    case Op::AddTable: {
        if (full)
            return;
        snapshot();
        auto* table = new ZN_NJiuGongGe();
        const float x = static_cast<float>(s.b % 40) * 30.0f;
        const float y = static_cast<float>((s.b / 40) % 30) * 25.0f;
        table->setPoint1(ZVector2(x, y));
        table->setPoint2(ZVector2(x + 90.0f, y + 60.0f));
        table->setSizeValue(1 + static_cast<int>(s.a % 3), 1 + static_cast<int>((s.a / 3) % 3));
        addShape(table, false);
        return;
    }
    case Op::AddPoint: {
        if (full)
            return;
        snapshot();
        auto* point = new ZN_NPoint();
        point->setCoord(ZVector2(static_cast<float>(s.b % 1200), static_cast<float>(s.c % 700)));
        point->setStateType(s.d % 2 ? 1 : 0);
        addShape(point, false);
        return;
    }
    case Op::Connect: {
        ZN_ShapeBase* from = pickNode(s.a);
        ZN_ShapeBase* to = pickNode(s.b);
        if (full || !from || !to || from == to)
            return;
        snapshot();
        auto* line = new ZN_NLine();
        line->pushPointBack(middleOf(from));
        line->pushPointBack(middleOf(to));
        line->setOutNumber(static_cast<int>(s.c % 9));
        line->setInNumber(static_cast<int>(s.d % 9));
        from->pushToOutput(line);
        line->pushToInput(from);
        if (s.c % 5 != 0) {
            line->pushToOutput(to);
            to->pushToInput(line);
        }
        addShape(line, s.d % 2);
        return;
    }
    case Op::Label: {
        ZN_ShapeBase* host = pick(s.a, [](const ZN_ShapeBase* x) { return x->type() != 5; });
        if (!host)
            return;
        snapshot();
        host->deleteLabel();
        host->setLabel(makeLabel(host, s.b));
        return;
    }
    case Op::Move: {
        if (shapes().empty())
            return;
        select(s.a);
        snapshot();
        const ZVector2 from(100.0f, 100.0f);
        const ZVector2 to(100.0f + static_cast<float>(s.b % 61) - 30.0f,
                          100.0f + static_cast<float>(s.c % 61) - 30.0f);
        page->change(from, to, 9, static_cast<int>(s.d % 2));
        return;
    }
    case Op::Resize: {
        ZN_ShapeBase* box = pick(s.a, [](const ZN_ShapeBase* x) { return x->isRegion() && x->type() != 2; });
        if (!box)
            return;
        page->clearSelect();
        box->setSelected(true);
        snapshot();
        const ZVector2 from(0.0f, 0.0f);
        const ZVector2 to(static_cast<float>(s.c % 41) - 20.0f, static_cast<float>(s.d % 41) - 20.0f);
        page->change(from, to, 1 + static_cast<int>(s.b % 8), 0);
        return;
    }
    case Op::Collapse:
    case Op::Expand: {
        ZN_ShapeBase* shape = pickNode(s.a);
        if (!shape)
            return;
        snapshot();
        auto* point = shape->type() == 2 ? static_cast<ZN_NPoint*>(shape) : nullptr;
        if (s.op == Op::Collapse) {
            page->shapeShrink(shape);
            if (point)
                point->setStateType(2);
        } else {
            page->shapeSpread(shape);
            if (point)
                point->setStateType(1);
        }
        return;
    }
    case Op::Arrange: {
        const std::list<ZN_ShapeBase*> chosen = select(s.a);
        if (chosen.empty())
            return;
        snapshot();
        const int mode = static_cast<int>(s.c);
        switch (s.b % 5) {
        case 0: page->TranslateLayer(mode % 4, chosen); break;
        case 1: page->TranslateAlign(mode % 6, chosen); break;
        case 2: page->TranslateAlignAvg(mode % 2, chosen); break;
        case 3: page->SameSize(mode % 3, chosen); break;
        default: page->LittleMove(mode % 4, chosen, 1 + static_cast<int>(s.d % 5)); break;
        }
        return;
    }
    case Op::Delete:
        if (shapes().empty())
            return;
        select(s.a);
        snapshot();
        page->deleteSelected();
        return;
    case Op::CopyPaste:
        copyPaste(s);
        return;
    case Op::Answers:
        answers(s);
        return;
    case Op::Undo:
        undo();
        return;
    case Op::Redo:
        redo();
        return;
    case Op::Save:
        bytesOf(*page);
        return;
    case Op::Reload:
        reload(s.d % 2);
        return;
    case Op::Count:
        return;
    }
}

void Session::copyPaste(const Step& s) {
    if (!(s.b % 3 == 0 && !clipboard.empty())) {
        // Copy: the selected shapes' clones, relinked among themselves.
        select(s.a);
        for (ZN_ShapeBase* shape : clipboard)
            delete shape;
        clipboard.clear();
        const std::vector<ZN_ShapeBase*> all = shapes();
        int id = 1;
        for (ZN_ShapeBase* shape : all)
            shape->setId(id++);
        for (ZN_ShapeBase* shape : all)
            if (shape->getSelected())
                if (ZN_ShapeBase* copy = shape->clone())
                    clipboard.push_back(copy);
        const ZN_ShapeIndex copies(clipboard);
        for (ZN_ShapeBase* shape : all)
            if (shape->getSelected())
                shape->setRelating(copies);
    }
    if (clipboard.empty() || shapes().size() + clipboard.size() > kMostShapes)
        return;
    // Paste: clones of the clipboard, moved aside and selected.
    snapshot();
    std::list<ZN_ShapeBase*> clones;
    for (const ZN_ShapeBase* shape : clipboard)
        if (ZN_ShapeBase* copy = shape->clone())
            clones.push_back(copy);
    const ZN_ShapeIndex copies(clones);
    for (const ZN_ShapeBase* shape : clipboard)
        shape->setRelating(copies);
    page->clearSelect();
    const ZVector2 delta(static_cast<float>(s.c % 50), static_cast<float>(s.d % 50));
    for (ZN_ShapeBase* copy : clones) {
        page->addShape(copy);
        copy->setSelected(true);
    }
    page->change(ZVector2(0.0f, 0.0f), delta, 9, 0);
}

void Session::answers(const Step& s) {
    auto* table = static_cast<ZN_NJiuGongGe*>(pick(s.a, [](const ZN_ShapeBase* x) { return x->type() == 12; }));
    if (!table)
        return;
    snapshot();
    // As the editor binds the selected texts to the selected table.
    table->clearAnswerList();
    std::vector<ZN_ShapeBase*> texts;
    const auto& all = shapes();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i]->type() == 5 && ((s.b >> (i % 32)) & 1u))
            texts.push_back(all[i]);
    for (ZN_ShapeBase* text : texts) {
        table->addAnswerList(text);
        text->addAnswerHostList(table);
    }
    // Some of them dropped into cells.
    const int cells = table->getCol() * table->getRow();
    for (std::size_t i = 0; i < texts.size() && i < s.c % 4; ++i)
        table->setJiuGongPtr(static_cast<int>((s.d + i) % static_cast<std::uint32_t>(cells)), texts[i]);
}

void Session::undo() {
    ZNRedoUndo* stack = page->getUndoRedo();
    const Bytes before = bytesOf(*page);
    const bool did = stack->unDo();
    if (did != !undone.empty())
        return fail(did ? "undo succeeded on an empty stack" : "undo failed with snapshots held");
    if (!did)
        return;
    page->clearSelect();
    redone.push_back(before);
    const Bytes expected = undone.back();
    undone.pop_back();
    if (bytesOf(*page) != expected)
        return fail("undo brought back other bytes than were recorded");
    compareWithFresh();
}

void Session::redo() {
    ZNRedoUndo* stack = page->getUndoRedo();
    const Bytes before = bytesOf(*page);
    const bool did = stack->reDo();
    if (did != !redone.empty())
        return fail(did ? "redo succeeded on an empty stack" : "redo failed with states held");
    if (!did)
        return;
    page->clearSelect();
    undone.push_back(before);
    if (undone.size() > static_cast<std::size_t>(ZNRedoUndo::maxSnapshots))
        undone.erase(undone.begin());
    const Bytes expected = redone.back();
    redone.pop_back();
    if (bytesOf(*page) != expected)
        return fail("redo brought back other bytes than were recorded");
    compareWithFresh();
}

void Session::reload(bool oldGoesFirst) {
    const Bytes bytes = bytesOf(*page);
    if (oldGoesFirst)
        page.reset();
    std::unique_ptr<ZN_ShapeManager> fresh = readPage(bytes);
    if (!fresh)
        return fail("a page written could not be read back");
    page = std::move(fresh);
    undone.clear();
    redone.clear();
    if (bytesOf(*page) != bytes)
        return fail("a page read back writes other bytes");
    compareWithFresh();
}

// The live page against one read from its bytes: the same relations, shape
// for shape, and the same answers to pointing and connecting once the read
// page shows and selects what the live one does.
void Session::compareWithFresh() {
    const Bytes bytes = bytesOf(*page);
    std::unique_ptr<ZN_ShapeManager> fresh = readPage(bytes);
    if (!fresh)
        return fail("the live page's bytes cannot be read");
    const std::vector<ZN_ShapeBase*> live = shapes();
    const ZN_ShapeManager& readOnly = *fresh;
    const std::vector<ZN_ShapeBase*> read = readOnly.getShapeArray();
    if (live.size() != read.size())
        return fail("the page read back holds another number of shapes");
    std::unordered_map<const ZN_ShapeBase*, int> liveAt, readAt;
    for (std::size_t i = 0; i < live.size(); ++i) {
        liveAt[live[i]] = static_cast<int>(i);
        readAt[read[i]] = static_cast<int>(i);
    }
    auto places = [](const auto& list, const std::unordered_map<const ZN_ShapeBase*, int>& at) {
        std::vector<int> out;
        for (const ZN_ShapeBase* s : list) {
            auto it = at.find(s);
            out.push_back(it == at.end() ? -1 : it->second);
        }
        return out;
    };
    for (std::size_t i = 0; i < live.size(); ++i) {
        const ZN_ShapeBase* a = live[i];
        const ZN_ShapeBase* b = read[i];
        const std::string which = " of shape " + std::to_string(i);
        if (a->type() != b->type())
            return fail("the type" + which);
        if (places(a->inputs(), liveAt) != places(b->inputs(), readAt))
            return fail("the inputs" + which);
        if (places(a->outputs(), liveAt) != places(b->outputs(), readAt))
            return fail("the outputs" + which);
        if (places(a->answerHosts(), liveAt) != places(b->answerHosts(), readAt))
            return fail("the answer hosts" + which);
        if (a->type() == 12) {
            const auto* ta = static_cast<const ZN_NJiuGongGe*>(a);
            const auto* tb = static_cast<const ZN_NJiuGongGe*>(b);
            if (places(ta->getAnswerList(), liveAt) != places(tb->getAnswerList(), readAt))
                return fail("the answers" + which);
            std::vector<const ZN_ShapeBase*> ca, cb;
            for (const auto& cell : ta->getCells())
                ca.push_back(cell.shape);
            for (const auto& cell : tb->getCells())
                cb.push_back(cell.shape);
            if (places(ca, liveAt) != places(cb, readAt))
                return fail("the cells" + which);
        }
        if (a->getLabel() && a->getLabel()->getHost() != a)
            return fail("the label's host" + which);
    }
    for (std::size_t i = 0; i < live.size(); ++i) {
        read[i]->setShow(live[i]->getShow());
        read[i]->setSelected(live[i]->getSelected());
    }
    for (std::size_t i = 0; i < live.size(); ++i) {
        const ZVector2 probes[] = {middleOf(live[i]), live[i]->getPoint1(), live[i]->getPoint2()};
        for (const ZVector2& p : probes) {
            ZObj2DInPoint infoA, infoB;
            int codeA = 0, codeB = 0;
            const ZN_ShapeBase* hitA = page->Change_Cursor(p, &infoA, codeA);
            const ZN_ShapeBase* hitB = fresh->Change_Cursor(p, &infoB, codeB);
            const int atA = hitA ? liveAt.count(hitA) ? liveAt[hitA] : -2 : -1;
            const int atB = hitB ? readAt.count(hitB) ? readAt[hitB] : -2 : -1;
            if (atA != atB || codeA != codeB)
                return fail("a hit test near shape " + std::to_string(i));
            const ZN_ShapeBase* targetA = page->findConnectTarget(p, 10.0f, nullptr, codeA);
            const ZN_ShapeBase* targetB = fresh->findConnectTarget(p, 10.0f, nullptr, codeB);
            const int tA = targetA ? liveAt.count(targetA) ? liveAt[targetA] : -2 : -1;
            const int tB = targetB ? readAt.count(targetB) ? readAt[targetB] : -2 : -1;
            if (tA != tB || codeA != codeB)
                return fail("a connection target near shape " + std::to_string(i));
        }
    }
}

} // namespace

std::vector<Step> generate(std::uint32_t seed, std::size_t length) {
    std::mt19937 rng(seed);
    // Edits are common, the history steps less so, page replacement rare.
    static const std::pair<Op, int> weights[] = {
        {Op::AddBox, 12}, {Op::AddText, 4}, {Op::AddTable, 2}, {Op::AddPoint, 3},
        {Op::Connect, 10}, {Op::Label, 3},  {Op::Move, 5},     {Op::Resize, 3},
        {Op::Collapse, 3}, {Op::Expand, 3}, {Op::Arrange, 4},  {Op::Delete, 4},
        {Op::CopyPaste, 4}, {Op::Answers, 3}, {Op::Undo, 12},  {Op::Redo, 7},
        {Op::Save, 2},     {Op::Reload, 2}};
    int total = 0;
    for (const auto& w : weights)
        total += w.second;
    std::vector<Step> steps;
    steps.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        int roll = static_cast<int>(rng() % static_cast<std::uint32_t>(total));
        Op op = Op::AddBox;
        for (const auto& w : weights) {
            if (roll < w.second) {
                op = w.first;
                break;
            }
            roll -= w.second;
        }
        auto next = [&rng]() { return static_cast<std::uint32_t>(rng()); };
        const std::uint32_t a = next(), b = next(), c = next(), d = next();
        steps.push_back(Step{op, a, b, c, d});
    }
    return steps;
}

std::string describe(const std::vector<Step>& steps) {
    std::ostringstream out;
    for (const Step& s : steps)
        out << "    {Op::" << opName(s.op) << ", " << s.a << "u, " << s.b << "u, " << s.c << "u, "
            << s.d << "u},\n";
    return out.str();
}

std::string run(const std::vector<Step>& steps) {
    detail::setIndexSelfCheck(true);
    std::string failure;
    {
        Session session;
        failure = session.run(steps);
    }
    return failure;
}

} // namespace randomedit

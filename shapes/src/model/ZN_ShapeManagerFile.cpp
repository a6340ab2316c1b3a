#include <sarvik/ZN_ShapeManager.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <unordered_map>
#include <utility>

#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/platform/ZFile.h>

#include "index/WalkMarks.h"
#include "memory/Prefetch.h"
#include "memory/ShapeArena.h"

namespace {

struct LinkHash {
    std::size_t operator()(const std::pair<const void*, const void*>& link) const {
        const auto a = reinterpret_cast<std::uintptr_t>(link.first);
        const auto b = reinterpret_cast<std::uintptr_t>(link.second);
        return std::hash<std::uintptr_t>()(a * 31u + b);
    }
};

// Every link must be recorded on both sides, as many times on each: a shape
// destroyed later unlinks itself only from the shapes it lists, so a link
// recorded on one side alone would leave a pointer to freed memory behind.
using Balance = std::unordered_map<std::pair<const void*, const void*>, long, LinkHash>;

void addLink(Balance& balance, const void* from, const void* to, long step) {
    auto& value = balance[{from, to}];
    value += step;
    if (value == 0)
        balance.erase({from, to});
}

// The node and connector links, counted in a table.
bool graphLinksBalance(const std::vector<ZN_ShapeBase*>& shapes) {
    Balance graph;
    for (const ZN_ShapeBase* shape : shapes) {
        for (const ZN_ShapeBase* out : shape->outputs())
            addLink(graph, shape, out, +1);
        for (const ZN_ShapeBase* in : shape->inputs())
            addLink(graph, in, shape, -1);
    }
    return graph.empty();
}

// A shape with more relations than this makes the pairwise check below
// quadratic, so such a page is counted in a table instead.
constexpr std::size_t kPairwiseMost = 64;

// The same check without a table, which on a large page is far quicker: each
// link is compared with its other side, where the lists are short.
bool graphLinksAgree(const std::vector<ZN_ShapeBase*>& shapes) {
    detail::WalkMarks listed;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        if (i + 12 < shapes.size())
            __builtin_prefetch(shapes[i + 12], 1);
        ZN_ShapeBase* shape = shapes[i];
        if (!listed.insert(shape) || shape->outputs().size() > kPairwiseMost ||
            shape->inputs().size() > kPairwiseMost)
            return graphLinksBalance(shapes);
    }
    auto count = [](const ZN_Relations& list, const ZN_ShapeBase* item) {
        return std::count(list.begin(), list.end(), item);
    };
    bool agree = true;
    detail::forEachRelated(shapes, [&](ZN_ShapeBase* shape) {
        if (!agree)
            return;
        for (ZN_ShapeBase* out : shape->outputs())
            if (!out || !listed.contains(out) ||
                count(shape->outputs(), out) != count(out->inputs(), shape)) {
                agree = false;
                return;
            }
        for (ZN_ShapeBase* in : shape->inputs())
            if (!in || !listed.contains(in) ||
                count(shape->inputs(), in) != count(in->outputs(), shape)) {
                agree = false;
                return;
            }
    });
    return agree;
}

bool linksAgree(const std::vector<ZN_ShapeBase*>& shapes) {
    if (!graphLinksAgree(shapes))
        return false;
    Balance answers; // shape-to-table answer links
    bool ok = true;
    detail::forEachAhead(shapes, [&](const ZN_ShapeBase* shape) {
        if (!ok)
            return;
        for (const ZN_NJiuGongGe* table : shape->answerHosts())
            addLink(answers, shape, table, +1);
        if (const auto* table = dynamic_cast<const ZN_NJiuGongGe*>(shape)) {
            for (const ZN_ShapeBase* answer : table->getAnswerList())
                addLink(answers, answer, table, -1);
            // A shape releases only the table it names as its host when it is
            // destroyed, so a shape in the cells of two tables is refused.
            for (const auto& cell : table->getCells())
                if (cell.shape && cell.shape->getJiuGongHost() != table)
                    ok = false;
        }
    });
    return ok && answers.empty();
}

// The smallest a shape can take in a page record: its type code, its
// has-label field and the two counts of its relation record.
constexpr std::uint64_t kMinBytesPerShape = 16;
} // namespace

bool ZN_ShapeManager::writeFile(ZFile* file, int version) {
    if (!file)
        return false;
    file->writeInt32(static_cast<std::int32_t>(shapeList.size()));
    // Walked as an array, fetching ahead: on a large page the writing
    // otherwise mostly waits for the shapes to arrive from memory.
    const std::vector<ZN_ShapeBase*>& shapes = listArray();
    int next = 1;
    detail::forEachAhead(shapes, [&](ZN_ShapeBase* shape) { shape->setId(next++); });
    detail::forEachWhole(shapes, [&](ZN_ShapeBase* shape) {
        file->writeInt32(shape->type());
        shape->writeFile(file, version);
    });
    detail::forEachRelated(shapes,
                           [&](ZN_ShapeBase* shape) { shape->saveRelating(file, version); });
    return !file->failed();
}

bool ZN_ShapeManager::readFile(ZFile* file, int version) {
    if (!file || file->failed())
        return false;
    listChanged();
    const std::size_t before = shapeList.size();
    // Shapes read so far are destroyed again when the record turns out bad, so
    // the page keeps only what it had before the call.
    auto refuse = [&]() {
        file->setFailed();
        auto first = std::next(shapeList.begin(), static_cast<std::ptrdiff_t>(before));
        std::list<ZN_ShapeBase*> doomed;
        doomed.splice(doomed.end(), shapeList, first, shapeList.end());
        // Links of a damaged record may be one-sided, and a destructor unlinks
        // only from the shapes it lists; so every link is dropped while all
        // the shapes are still alive, and only then are they destroyed.
        for (ZN_ShapeBase* shape : doomed)
            if (auto* table = dynamic_cast<ZN_NJiuGongGe*>(shape))
                table->clearAnswerList();
        for (ZN_ShapeBase* shape : doomed)
            shape->forgetRelations();
        for (ZN_ShapeBase* shape : doomed)
            delete shape;
        return false;
    };

    const std::int32_t n = file->readInt32();
    if (file->failed() || n < 0 ||
        static_cast<std::uint64_t>(n) * kMinBytesPerShape > file->remaining())
        return refuse();

    // The shapes read, their labels, texts, points and relation lists are
    // placed one after another in blocks of their own, as a snapshot's are:
    // taken from the heap they would lie among the pictures of the labels,
    // and every walk of the page would then cross twice the memory.
    detail::ShapeArena arena;
    // The shapes read are also kept in an array: walking the linked list
    // again costs more on a large page than reading the relations.
    std::vector<ZN_ShapeBase*> added;
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int32_t code = file->readInt32();
        if (file->failed())
            return refuse();
        ZN_ShapeBase* shape = ZN_ShapeBase::createShape(code);
        if (!shape)
            return refuse(); // the record has no length, so nothing after it can be found
        shapeList.push_back(shape);
        added.push_back(shape);
        shape->readFile(file, version);
        if (file->failed())
            return refuse();
    }

    // The writer numbered its shapes 1..n; the shapes just read take the same
    // numbers, so the ids of the relation records resolve against them alone.
    int next = 1;
    for (ZN_ShapeBase* shape : added)
        shape->setId(next++);
    const ZN_ShapeIndex index(added);
    for (std::size_t i = 0; i < added.size(); ++i) {
        if (i + 12 < added.size())
            __builtin_prefetch(added[i + 12], 1);
        added[i]->loadRelating(file, index, version);
        if (file->failed())
            return refuse();
    }
    // Files before version 7 keep only the table's side of an answer binding;
    // the shape's side is restored so that either can be destroyed first.
    if (version <= 6)
        for (ZN_ShapeBase* shape : added)
            if (auto* table = dynamic_cast<ZN_NJiuGongGe*>(shape))
                for (ZN_ShapeBase* answer : table->getAnswerList())
                    if (answer)
                        answer->addAnswerHostList(table);
    if (!linksAgree(added))
        return refuse();
    // Visibility is not stored, fold states are: what was folded is folded again.
    collapseFoldedPoints();
    return true;
}

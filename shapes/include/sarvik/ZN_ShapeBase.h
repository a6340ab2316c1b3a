#pragma once
// Every object on a page derives from ZN_ShapeBase: the editor's flags, the id
// used in files and snapshots, the relation lists that join nodes and connector
// lines into a graph, the owned text label and the links to fill-in tables.
// ZN_Node, ZN_NRegion and ZN_SImage are the abstract-ish intermediate classes
// that add no data of their own.

#include <cstddef>
#include <cstdint>
#include <list>
#include <vector>

#include <rulmek/rulmek.h>
#include <sarvik/ZArenaAllocator.h>
#include <sarvik/ZN_NodeFields.h>
#include <sarvik/platform/LOGFONTA.h>
#include <sarvik/platform/ZCursor.h>

class ZFile;
class ZN_SText;
class ZN_NJiuGongGe;
class ZN_ShapeBase;

namespace detail {
class RelationTable;
class ShapeGrid;
class WalkMarks;
struct PrefetchLayout;
// Tells the page indexes that a shape's position or extent changed.
void noteGeometryChange(ZN_ShapeBase* shape);
// Tells them that some shape's inputs or outputs changed.
void noteRelationChange();
// Tells them that a shape is being destroyed.
void noteShapeGone();
// Tells them that a shape was shown or hidden; counted, not logged.
void noteShowChange();
// Tells them that a shape was selected, deselected or highlighted, which
// widens or narrows what it draws without moving it.
void noteMarkChange(ZN_ShapeBase* shape);
} // namespace detail

// Shapes of one page, snapshot or clipboard looked up by id. Ids are 1..n after
// renumbering, so a vector indexed by id serves; ids outside that range (or
// repeated ids) fall back to a search of the few that did not fit. As with a
// search of the list front to back, the first shape holding an id wins.
class ZN_ShapeIndex {
public:
    ZN_ShapeIndex() = default;
    explicit ZN_ShapeIndex(const std::list<ZN_ShapeBase*>& shapes);
    explicit ZN_ShapeIndex(const std::vector<ZN_ShapeBase*>& shapes);
    // An index of shapes numbered 1..n in the order `shapes` lists them, which
    // it reads in place instead of reading every shape's id: `shapes` must
    // outlive the index and not change meanwhile.
    static ZN_ShapeIndex numberedInOrder(const std::vector<ZN_ShapeBase*>& shapes);
    void build(const std::list<ZN_ShapeBase*>& shapes);
    void build(const std::vector<ZN_ShapeBase*>& shapes);
    // The first shape (in the list's order) whose id is `id`; null if none.
    ZN_ShapeBase* find(int id) const;

private:
    template <class Shapes> void fill(const Shapes& shapes);
    const std::vector<ZN_ShapeBase*>* inOrder_ = nullptr;     // numbered in order, not owned
    std::vector<ZN_ShapeBase*> byId_;                         // slot id holds that shape
    std::vector<std::pair<int, ZN_ShapeBase*>> outOfRange_;   // ids that did not fit, list order
};

// The shapes a shape is joined to. Like a label's text they are placed in
// an undo snapshot's blocks while one is taken, so that copying a page makes
// no allocation per relation.
using ZN_Relations = std::vector<ZN_ShapeBase*, detail::ArenaAllocator<ZN_ShapeBase*>>;

class ZN_ShapeBase {
public:
    ZN_ShapeBase() = default;
    // Unlinks the shape from tables, label and neighbours (see the .cpp for the order).
    virtual ~ZN_ShapeBase();

    // Shapes are duplicated through clone(); a value copy would share the label.
    ZN_ShapeBase(const ZN_ShapeBase&) = delete;
    ZN_ShapeBase& operator=(const ZN_ShapeBase&) = delete;

    // Shapes come from the heap, or from the blocks of the snapshot being
    // taken on this thread; either way they are freed with delete.
    static void* operator new(std::size_t size);
    static void operator delete(void* object) noexcept;

    // --- virtual interface, in the order the callers know it ---
    virtual bool isRegion() const { return false; }
    virtual int type() const = 0;
    virtual void render() const = 0;
    virtual void change(const ZVector2& delta, int code);
    virtual bool IntersectRect(const ZVector2& a, const ZVector2& b) const;
    virtual void loadCursor(ZCursor cursor, int code);
    virtual int InPoint(const ZVector2& pos, ZObj2DInPoint* info, float tolerance) const;
    virtual ZVector2 getRegionPos(int index);
    virtual ZVector2 getBoderPos(int index, const ZVector2& towards);
    virtual ZVector2 getPoint1() const;
    virtual ZVector2 getPoint2() const;
    // Record writers and readers. A reader that meets a short read or a value it
    // refuses leaves the file failed (ZFile::setFailed) and stops; the caller
    // checks file->failed() once.
    virtual void writeFile(ZFile* file, int version);
    virtual void readFile(ZFile* file, int version);
    virtual void saveRelating(ZFile* file, int version);
    // Reads the relation record, resolving ids through an index built once
    // for the whole page.
    virtual void loadRelating(ZFile* file, const ZN_ShapeIndex& shapes, int version);
    virtual ZN_ShapeBase* clone() const;
    virtual void deepCopy(ZN_ShapeBase* target) const;
    // Re-links this shape's copy among `copies` (index built once per set).
    virtual ZN_ShapeBase* setRelating(const ZN_ShapeIndex& copies) const;
    virtual void resetLabelPosition();
    virtual void setLineWide(int width);
    virtual int getLineWide() const;
    virtual void setColor(const ZVector3& colour);
    virtual ZVector3 getColor() const;
    virtual void setFont(const LOGFONTA& font);
    virtual LOGFONTA getFont() const;
    virtual void setFontColor(const ZVector3& colour);
    virtual ZVector3 getFontColor() const;
    virtual void releaseJiuGong(ZN_ShapeBase* shape);

    // Conveniences with the list arguments; each builds an index first, so a
    // caller relinking many shapes builds one ZN_ShapeIndex and uses the
    // virtuals above instead.
    void loadRelatingList(ZFile* file, std::list<ZN_ShapeBase*>& shapes, int version);
    ZN_ShapeBase* setRelatingList(std::list<ZN_ShapeBase*>& copies) const;

    // --- plain members ---
    void setSelected(bool value) {
        if (selected != value)
            touchMarks();
        selected = value;
    }
    bool getSelected() const { return selected; }
    void setShow(bool value) {
        if (show != value)
            detail::noteShowChange();
        show = value;
    }
    bool getShow() const { return show; }
    void setSnake(int value) {
        if (snake != value)
            touchMarks();
        snake = value;
    }
    int getSnake() const { return snake; }
    void setId(int value) { id = value; }
    int getId() const { return id; }
    // Takes ownership; neither frees a previous label nor sets the label's host.
    void setLabel(ZN_SText* text) {
        label = text;
        touchGeometry(); // the label is drawn with its host
    }
    ZN_SText* getLabel() const { return label; }
    void deleteLabel();
    // Note, link, markers, attributes, anchor and layout (ZN_NodeFields.h).
    // Copies share them; setting new ones gives this shape its own.
    bool hasFields() const { return static_cast<bool>(fields_); }
    // The shape's fields, or an empty set when it has none.
    const ZN_NodeFields& getFields() const;
    // An empty value removes them. The drawn extent may change (marks).
    void setFields(ZN_NodeFields value);
    void setFields(ZN_SharedFields value);
    const ZN_SharedFields& sharedFields() const { return fields_; }
    // A connector that links two nodes across the trees (ZN_NodeFields).
    bool isCrossLink() const { return fields_ && fields_->crossLink; }
    void setJiuGongHost(ZN_ShapeBase* host) { jiuGongHost = host; }
    ZN_ShapeBase* getJiuGongHost() const { return jiuGongHost; }

    std::vector<ZN_ShapeBase*> getInputList() { return {inputList.begin(), inputList.end()}; }
    std::vector<ZN_ShapeBase*> getOutputList() { return {outputList.begin(), outputList.end()}; }
    // Read-only views for the hot paths that must not copy.
    const ZN_Relations& inputs() const { return inputList; }
    const ZN_Relations& outputs() const { return outputList; }
    const std::vector<ZN_NJiuGongGe*>& answerHosts() const { return answerHostList; }

    void pushToInput(ZN_ShapeBase* s) {
        detail::noteRelationChange();
        inputList.push_back(s);
    }
    void pushToOutput(ZN_ShapeBase* s) {
        detail::noteRelationChange();
        outputList.push_back(s);
    }
    void deleteInput(ZN_ShapeBase* s);
    void deleteOutput(ZN_ShapeBase* s);

    ZN_ShapeBase* findShape(int id, std::list<ZN_ShapeBase*>& shapes) const;

    void addAnswerHostList(ZN_NJiuGongGe* table) { answerHostList.push_back(table); }
    void deleteAnswerHostList(ZN_NJiuGongGe* table);
    void clearAnswerHostList();

    // Drops the relation lists and answer hosts without touching the shapes
    // they point at. Only for discarding a whole set of shapes together whose
    // links may be recorded on one side only (a damaged page being refused).
    void forgetRelations();
    // Drops the input and output lists alone, without touching the shapes they
    // point at. Only for destroying a whole set of shapes that are joined to
    // one another alone: each then goes without searching its neighbours'
    // lists for itself.
    void forgetLinksWithin() {
        inputList.clear();
        outputList.clear();
    }

    // A new default shape for a type code, owned by the caller; null for the
    // background region's code 11 and for codes outside 1..13.
    static ZN_ShapeBase* createShape(int type);

protected:
    // Every member that moves or resizes a shape calls this. A shape no page
    // index has ever held (a fresh copy, a snapshot) has nothing to tell.
    void touchGeometry() {
        if (gridSlot >= 0)
            detail::noteGeometryChange(this);
    }
    void touchMarks() {
        if (gridSlot >= 0)
            detail::noteMarkChange(this);
    }

    // The flags, the id, the index slot, the walk mark and the relations come
    // first, so that walks over many shapes find what they read in one or two
    // cache lines.
    bool selected = false;
    bool show = true;
    int snake = 0;
    int id = 0;

private:
    friend class detail::RelationTable;
    friend class detail::ShapeGrid;
    friend class detail::WalkMarks;
    friend struct detail::PrefetchLayout;
    int gridSlot = -1;          // the shape's place in the list, as the page's indexes hold it
    std::uint64_t walkMark = 0; // the last walk of the relation graph that met the shape

protected:
    ZN_Relations outputList; // not owned
    ZN_Relations inputList;  // not owned
    ZN_SText* label = nullptr;              // owned
    ZN_ShapeBase* jiuGongHost = nullptr;    // not owned
    std::vector<ZN_NJiuGongGe*> answerHostList; // not owned
    ZN_SharedFields fields_;                    // shared with copies; null when none
};

// A bare member of the node graph; connectors, points and boxes derive from it.
class ZN_Node : public ZN_ShapeBase {
public:
    int type() const override { return 3; }
    void render() const override;
};

// A node that encloses an area.
class ZN_NRegion : public ZN_Node {
public:
    bool isRegion() const override { return true; }
    int type() const override { return 6; }
    void render() const override;
    virtual void renderBackColor(const ZVector4& colour) const;
};

// Reserved for pictures; holds nothing of its own.
class ZN_SImage : public ZN_ShapeBase {
public:
    int type() const override { return 4; }
    void render() const override;
};

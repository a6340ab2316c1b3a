#pragma once
// Edits and document bytes shared by the recovery tests.

#include <cstdint>
#include <vector>

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include "TestSupport.h"
#include "frames/CChildFrame.h"
#include "document/CTavloDoc.h"
#include "document/TvxContainer.h"
#include "view/CTavloView.h"

// The document as its file would hold it.
inline std::vector<std::uint8_t> serialise(CTavloDoc* doc) {
    auto memory = ZFile::toMemory();
    writeTvx(*memory, doc->shapeData().pageRefs());
    return memory->bytes();
}

// An edit as the view makes it: snapshot, change, mark modified.
inline void edit(CChildFrame* child, float x) {
    ZN_ShapeManager* page = child->view()->getCurrentPage();
    page->getUndoRedo()->copyAllTooplist(true);
    addRect(*page, x, 10, x + 80, 50);
    child->document()->SetModifiedFlag(true);
}

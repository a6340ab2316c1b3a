#pragma once
// Bringing a shape hidden in a collapsed subtree into sight by expanding the
// ancestors above it, one generation each, as far as the nearest one shown.

class ZN_ShapeBase;
class ZN_ShapeManager;

// Whether revealing `shape` would change anything (it is hidden).
bool needsReveal(const ZN_ShapeBase* shape);
// Shows `shape` and the way down to it from its nearest shown ancestor: each
// ancestor on the way shows its outgoing connectors and the children at their
// ends (their own subtrees stay folded); a collapsed fold point on the way
// expands as a click on it would. Takes no undo snapshot.
void revealShape(ZN_ShapeManager& page, ZN_ShapeBase* shape);

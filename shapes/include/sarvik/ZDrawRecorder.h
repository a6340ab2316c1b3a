#pragma once
// While a page is drawn in GL's feedback mode to be written out as vectors,
// the drawing code tells a recorder what feedback does not carry: the line
// width of the primitives that follow, each text (feedback keeps only a
// bitmap's position) and the pictures mapped onto boxes (feedback keeps the
// quad, not its texture). Positions are in window coordinates. Outside a
// recording no recorder is installed and the drawing code only checks for it.

#include <rulmek/rulmek.h>

class ZImageTexture;
class ZN_SText;

class ZDrawRecorder {
public:
    virtual ~ZDrawRecorder() = default;
    // glLineWidth was just called with `width`.
    virtual void lineWidth(float width) = 0;
    // The lines that follow, up to the next lineWidth(), are one device pixel
    // wide at every zoom, and smoothing leaves `coverage` (0..1) of that
    // pixel inked: the ring of a point covers about half of it.
    virtual void hairline(float coverage) { (void)coverage; }
    // `text` is drawn now, its rectangle at a (top-left) to b (bottom-right).
    virtual void text(const ZN_SText& text, const ZVector2& a, const ZVector2& b) = 0;
    // The primitives up to pictureEnd() fill the rectangle a-b with `picture`,
    // stretched, its first row at the bottom.
    virtual void pictureBegin(const ZImageTexture& picture, const ZVector2& a,
                              const ZVector2& b) = 0;
    virtual void pictureEnd() = 0;
};

// Installs (or with null removes) the recorder; not owned.
void ZSetDrawRecorder(ZDrawRecorder* recorder);
ZDrawRecorder* ZGetDrawRecorder();

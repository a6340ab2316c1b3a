#pragma once
// The shape clipboard: clones of the shapes copied last, kept by the
// application and shared by every document, and the system clipboard's
// bitmaps as the picture paste reads them.

#include <list>

#include <QByteArray>

class ZN_ShapeBase;
class ZN_ShapeManager;

// The application's store of copied shapes, shared by every document; null
// while no application lends one, when nothing can be copied or pasted.
std::list<ZN_ShapeBase*>* clipboardShapes();
void setClipboardShapes(std::list<ZN_ShapeBase*>* store);

// Replaces the clipboard by clones of the page's selected shapes (by their
// `selected` flags, in list order) related among themselves as the originals
// are. Renumbers the page's shapes. Does nothing and returns false while the
// page's capture frame is shown, whose bitmap stays on the system clipboard.
bool copySelectedShapes(ZN_ShapeManager& page, std::list<ZN_ShapeBase*>& clipboard);

// New clones of the clipboard's shapes, in order, related among themselves as
// the clipboard's shapes are; owned by the caller.
std::list<ZN_ShapeBase*> cloneClipboard(const std::list<ZN_ShapeBase*>& clipboard);

// Destroys the clipboard's clones and empties it.
void freeShapes(std::list<ZN_ShapeBase*>& shapes);

// Empties the system clipboard so that the next paste takes the shapes.
void emptySystemClipboard();

// The device-independent bitmap block of the image on the system clipboard:
// the offered BMP data without its file header, else one built from the image.
// Empty when the clipboard holds no image, or one that cannot be read; then
// `unreadable` tells the two apart.
QByteArray systemClipboardDib(bool* unreadable = nullptr);

class QImage;
// A bottom-up 32-bit block of `image`, as the clipboard would offer it.
QByteArray dibFromImage(const QImage& image);

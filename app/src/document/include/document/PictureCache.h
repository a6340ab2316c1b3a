#pragma once
// Pictures outlive the document that read them: a shape copied to the
// clipboard or pasted into another document still draws them. So every
// picture goes to one cache shared by all documents. The application lends
// its own list while it runs (and frees it, with its GL context, on exit);
// without one, as on the command line, pictures are kept until the end.

#include <string>
#include <vector>

class ZImageTexture;

namespace pictureCache {
// The list that takes the pictures; null returns to the one kept until exit.
void setStore(std::vector<ZImageTexture*>* store);
// Takes `picture` into the cache.
void add(ZImageTexture* picture);
// The picture of the application's list read from `path`, or null.
ZImageTexture* find(const std::string& path);
} // namespace pictureCache

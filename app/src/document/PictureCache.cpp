#include "document/PictureCache.h"

#include <algorithm>
#include <memory>

#include <sarvik/ZImageTexture.h>

namespace {

std::vector<ZImageTexture*>* lentStore = nullptr;

// Pictures read while no application lends its list (the command line).
std::vector<std::unique_ptr<ZImageTexture>>& orphanTextures() {
    static std::vector<std::unique_ptr<ZImageTexture>> textures;
    return textures;
}

} // namespace

namespace pictureCache {

void setStore(std::vector<ZImageTexture*>* store) { lentStore = store; }

void add(ZImageTexture* picture) {
    if (lentStore)
        lentStore->push_back(picture);
    else
        orphanTextures().emplace_back(picture);
}

ZImageTexture* find(const std::string& path) {
    if (!lentStore)
        return nullptr;
    const auto found = std::find_if(lentStore->begin(), lentStore->end(),
                                    [&](const ZImageTexture* t) { return t->getPath() == path; });
    return found != lentStore->end() ? *found : nullptr;
}

} // namespace pictureCache

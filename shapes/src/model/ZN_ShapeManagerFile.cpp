#include <sarvik/ZN_ShapeManager.h>

#include <iterator>

#include <sarvik/platform/ZFile.h>

namespace {
// The smallest a shape can take in a page record: its type code, its
// has-label field and the two counts of its relation record.
constexpr std::uint64_t kMinBytesPerShape = 16;
} // namespace

bool ZN_ShapeManager::writeFile(ZFile* file, int version) {
    if (!file)
        return false;
    file->writeInt32(static_cast<std::int32_t>(shapeList.size()));
    int next = 1;
    for (ZN_ShapeBase* shape : shapeList)
        shape->setId(next++);
    for (ZN_ShapeBase* shape : shapeList) {
        file->writeInt32(shape->type());
        shape->writeFile(file, version);
    }
    for (ZN_ShapeBase* shape : shapeList)
        shape->saveRelating(file, version);
    return !file->failed();
}

bool ZN_ShapeManager::readFile(ZFile* file, int version) {
    if (!file || file->failed())
        return false;
    const std::size_t before = shapeList.size();
    // Shapes read so far are destroyed again when the record turns out bad, so
    // the page keeps only what it had before the call.
    auto refuse = [&]() {
        file->setFailed();
        auto first = std::next(shapeList.begin(), static_cast<std::ptrdiff_t>(before));
        std::list<ZN_ShapeBase*> doomed;
        doomed.splice(doomed.end(), shapeList, first, shapeList.end());
        for (ZN_ShapeBase* shape : doomed)
            delete shape;
        return false;
    };

    const std::int32_t n = file->readInt32();
    if (file->failed() || n < 0 ||
        static_cast<std::uint64_t>(n) * kMinBytesPerShape > file->remaining())
        return refuse();

    for (std::int32_t i = 0; i < n; ++i) {
        const std::int32_t code = file->readInt32();
        if (file->failed())
            return refuse();
        ZN_ShapeBase* shape = ZN_ShapeBase::createShape(code);
        if (!shape)
            return refuse(); // the record has no length, so nothing after it can be found
        shapeList.push_back(shape);
        shape->readFile(file, version);
        if (file->failed())
            return refuse();
    }

    // The writer numbered its shapes 1..n; the shapes just read take the same
    // numbers, so the ids of the relation records resolve against them alone.
    std::list<ZN_ShapeBase*> added(std::next(shapeList.begin(), static_cast<std::ptrdiff_t>(before)),
                                   shapeList.end());
    int next = 1;
    for (ZN_ShapeBase* shape : added)
        shape->setId(next++);
    const ZN_ShapeIndex index(added);
    for (ZN_ShapeBase* shape : added) {
        shape->loadRelating(file, index, version);
        if (file->failed())
            return refuse();
    }
    return true;
}

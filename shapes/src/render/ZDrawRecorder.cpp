#include <sarvik/ZDrawRecorder.h>

namespace {
ZDrawRecorder* current = nullptr;
} // namespace

void ZSetDrawRecorder(ZDrawRecorder* recorder) {
    current = recorder;
}

ZDrawRecorder* ZGetDrawRecorder() {
    return current;
}

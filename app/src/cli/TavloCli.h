#pragma once
// The headless command line: document information, conversion to the current
// version and drawing a page into a PNG file, with no display and no window.
// On failure it prints one line to standard error, returns 2 and writes nothing.

#include <iosfwd>
#include <string>
#include <vector>

// True when the arguments ask for a command-line operation rather than the editor.
bool isCommandLineRequest(const std::vector<std::string>& args);

// Runs the operation the arguments name; returns the process status.
int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Canvas rectangle covering every visible shape of a page, as min and max corners.
struct CanvasBounds {
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool empty = true;
};
class ZN_ShapeManager;
CanvasBounds visibleBounds(ZN_ShapeManager& page);

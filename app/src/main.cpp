#include <iostream>
#include <string>
#include <vector>

#include "cli/TavloCli.h"
#include "frames/CTavloApp.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The command line needs no display, so it runs before any window system is touched.
    if (isCommandLineRequest(args))
        return runCommandLine(args, std::cout, std::cerr);

    CTavloApp::prepare();
    CTavloApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    const int status = app.exec();
    app.ExitInstance();
    return status;
}

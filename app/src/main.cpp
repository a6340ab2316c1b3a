#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/TavloCli.h"
#include "frames/CTavloApp.h"

int main(int argc, char** argv) {
    // Writing to a pipe whose reader has gone fails with EPIPE, which every
    // writer reports, instead of ending the program without a word.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The command line needs no display, so it runs before any window system is touched.
    const CommandLine commandLine = parseCommandLine(args);
    if (commandLine.action != CommandLine::Action::Editor)
        return runCommandLine(args, std::cout, std::cerr);
    // Qt aborts without a window system; say so in one line instead.
    if (std::string why; !displayAvailable(commandLine.platform, &why)) {
        std::cerr << "Tavlo: " << why << '\n';
        return 2;
    }

    CTavloApp::prepare();
    CTavloApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    const int status = app.exec();
    app.ExitInstance();
    return status;
}

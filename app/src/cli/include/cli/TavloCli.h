#pragma once
// The command line: help and version, document information, conversion to the
// current version and export of pages as PNG, SVG and PDF, with no display
// and no window. On failure an operation prints one line to standard error,
// returns 2 and writes nothing; wrong arguments add a line pointing to --help.

#include <iosfwd>
#include <string>
#include <vector>

// The command line, parsed before any window exists.
struct CommandLine {
    enum class Action {
        Editor,
        Help,
        Version,
        Error,
        Info,
        Convert,
        ExportPng,
        ExportSvg,
        ExportPdf
    };
    Action action = Action::Editor;
    std::string input;    // the document read (for the editor: the file to open, if any)
    std::string output;   // the file written
    int page = 0;         // --page, from 1; 0 when not given
    std::string error;    // what is wrong with the arguments, for Action::Error
    std::string platform; // the editor's -platform, if given
};
CommandLine parseCommandLine(const std::vector<std::string>& args);
std::string commandLineHelp();

// True when the arguments ask for anything but the editor (an operation,
// help, the version, or arguments that are wrong).
bool isCommandLineRequest(const std::vector<std::string>& args);

// False, with a one-line reason, when the editor could not open a window on
// the Qt platform given (or QT_QPA_PLATFORM's): no display is set, or the X
// server named cannot be reached.
bool displayAvailable(const std::string& platform, std::string* why);

// Runs the operation the arguments name; returns the process status.
int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

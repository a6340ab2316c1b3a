// Random sequences of the editor's steps on one page, each edit after a
// snapshot as the editor takes it, with undo, redo, saving, reloading and
// the page's destruction in between. What every undo and redo brings back is
// compared byte for byte with the page recorded at that point, and the live
// page's relations and hit tests with those of a page read afresh from its
// bytes; the spatial index checks itself against the list on every query.
//
// Each sequence runs in a child process, so that a crash or a sanitizer's
// report counts as a failure like any other. A failing sequence is shrunk to
// a short one, printed in the form the regression tests below use.
//
// TAVLO_RANDOM_EDIT_SEEDS=<n> runs n seeds instead of the few in the suite,
// TAVLO_RANDOM_EDIT_STEPS=<n> makes each sequence n steps long, and
// TAVLO_RANDOM_EDIT_FIRST=<seed> starts somewhere else.

#include "RandomEditSession.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

using randomedit::Op;
using randomedit::Step;

namespace {

unsigned long envNumber(const char* name, unsigned long fallback) {
    const char* value = std::getenv(name);
    if (!value || !*value)
        return fallback;
    return std::strtoul(value, nullptr, 10);
}

// Runs `steps` in a child process; true when it ran clean. The child's
// report goes to stderr only when `quiet` is false.
bool cleanInChild(const std::vector<Step>& steps, bool quiet) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        if (quiet) {
            std::FILE* null = std::freopen("/dev/null", "w", stderr);
            (void)null;
        }
        const std::string failure = randomedit::run(steps);
        if (!failure.empty())
            std::fprintf(stderr, "%s\n", failure.c_str());
        std::fflush(nullptr);
        _exit(failure.empty() ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Removes chunks, then single steps, as long as the sequence still fails.
std::vector<Step> shrink(std::vector<Step> steps) {
    for (std::size_t chunk = steps.size() / 2; chunk >= 1; chunk /= 2) {
        bool removed = true;
        while (removed) {
            removed = false;
            for (std::size_t at = 0; at + chunk <= steps.size();) {
                std::vector<Step> shorter = steps;
                shorter.erase(shorter.begin() + static_cast<std::ptrdiff_t>(at),
                              shorter.begin() + static_cast<std::ptrdiff_t>(at + chunk));
                if (!cleanInChild(shorter, true)) {
                    steps.swap(shorter);
                    removed = true;
                } else {
                    at += chunk;
                }
            }
        }
    }
    return steps;
}

} // namespace

TEST(RandomEdit, SeededSequencesKeepUndoRedoAndTheIndexesTrue) {
    const unsigned long seeds = envNumber("TAVLO_RANDOM_EDIT_SEEDS", 6);
    const unsigned long first = envNumber("TAVLO_RANDOM_EDIT_FIRST", 1);
    const auto length = static_cast<std::size_t>(envNumber("TAVLO_RANDOM_EDIT_STEPS", 160));
    for (unsigned long seed = first; seed < first + seeds; ++seed) {
        const std::vector<Step> steps = randomedit::generate(static_cast<std::uint32_t>(seed), length);
        if (cleanInChild(steps, false))
            continue;
        const std::vector<Step> small = shrink(steps);
        std::fprintf(stderr, "Seed %lu fails; shrunk to %zu steps:\n%s", seed, small.size(),
                     randomedit::describe(small).c_str());
        // Once more, with the report.
        cleanInChild(small, false);
        ADD_FAILURE() << "seed " << seed << " fails; the shrunk sequence is printed above";
        return;
    }
}

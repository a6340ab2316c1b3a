#pragma once
// Where "打开模板" starts: the template maps that come with the program.

#include <QString>

// The folder of template maps for a program that lives in programDir, ending in '/'.
// A build tree keeps them in samples/ beside the program; an installed tree in
// share/tavlo/samples under the prefix, which is found relative to bin/ so that
// any prefix works.
QString templateFolderFor(const QString& programDir);

#include "frames/TemplateFolder.h"

#include <QDir>
#include <QFileInfo>

QString templateFolderFor(const QString& programDir) {
    const QDir bin(programDir);
    const QString beside = bin.filePath(QStringLiteral("samples"));
    const QString installed = bin.filePath(QStringLiteral("../share/tavlo/samples"));
    // With neither present the dialog still opens beside the program, as it always did.
    const bool useInstalled = !QFileInfo(beside).isDir() && QFileInfo(installed).isDir();
    return QDir::cleanPath(useInstalled ? installed : beside) + '/';
}

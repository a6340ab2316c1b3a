#pragma once
// The file dialogs of the editor: Open, Save As, the template folder and the
// picture file. Each type entry shows its label exactly as written; the
// pattern Qt filters by is kept out of sight.

#include <memory>
#include <vector>

#include <QString>

class QFileDialog;
class QWidget;

struct FileType {
    const char* label;   // what the type list shows, e.g. "所有文件 (*.*)"
    const char* pattern; // what it matches, e.g. "*"
};

// The document types offered by Save As.
const std::vector<FileType>& documentFileTypes();
// What Open offers: first every kind the editor opens (documents and the maps
// it imports), then each kind on its own.
const std::vector<FileType>& openFileTypes();
// What 导入 offers: the maps of other programs.
const std::vector<FileType>& importFileTypes();

// A file dialog set up with `types`; the caller runs it.
std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, const QString& caption,
                                            const QString& folder,
                                            const std::vector<FileType>& types, bool save);

// Runs an Open dialog; empty when cancelled.
QString askOpenFile(QWidget* parent, const QString& caption, const QString& folder,
                    const std::vector<FileType>& types, const QString& defaultSuffix = {});
// Runs a Save As dialog starting at `suggestion`; empty when cancelled.
QString askSaveFile(QWidget* parent, const QString& caption, const QString& suggestion,
                    const std::vector<FileType>& types, const QString& defaultSuffix);

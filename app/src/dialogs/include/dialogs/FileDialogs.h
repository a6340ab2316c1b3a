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

// The document types offered by Open and Save As.
const std::vector<FileType>& documentFileTypes();

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

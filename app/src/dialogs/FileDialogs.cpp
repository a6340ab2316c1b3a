#include "dialogs/FileDialogs.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

#include "document/AppNames.h"

namespace {

// Qt's file list writes sizes and dates in the desktop's locale and names
// folders in English; the program's users read Chinese whatever the desktop
// is set to, so those columns are written in the program's own locale.
class ChineseFileColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || index.column() < 1 || index.column() > 3)
            return QIdentityProxyModel::data(index, role);
        const QFileInfo info = files->fileInfo(mapToSource(index));
        const QLocale locale;
        switch (index.column()) {
        case 1:
            return info.isDir() ? QString() : locale.formattedDataSize(info.size());
        case 2:
            if (info.isDir())
                return QString("文件夹");
            return QIdentityProxyModel::data(index, role);
        default:
            return locale.toString(info.lastModified(), QLocale::ShortFormat);
        }
    }
};

} // namespace

const std::vector<FileType>& documentFileTypes() {
    static const std::vector<FileType> types = {{tavlo::kFileFilter, "*.tvx"},
                                                {"所有文件 (*.*)", "*"}};
    return types;
}

namespace {

// The maps of other programs, one entry each, as Open and 导入 list them.
constexpr FileType kMapTypes[] = {
    {"FreeMind/Freeplane 导图 (*.mm)", "*.mm"},
    {"XMind 工作簿 (*.xmind)", "*.xmind"},
    {"OPML 大纲 (*.opml)", "*.opml"},
    {"Markdown 文档 (*.md)", "*.md *.markdown"},
    {"缩进文本 (*.txt)", "*.txt"},
    {"KityMinder 脑图 (*.km)", "*.km"},
    {"Mermaid 导图 (*.mmd)", "*.mmd *.mermaid"},
    {"PlantUML 导图 (*.puml)", "*.puml *.plantuml *.pu"},
};
constexpr const char* kMapPatterns =
    "*.mm *.xmind *.opml *.md *.markdown *.txt *.km *.mmd *.mermaid *.puml *.plantuml *.pu";

} // namespace

const std::vector<FileType>& openFileTypes() {
    static const std::vector<FileType> types = [] {
        std::vector<FileType> v = {
            {"所有支持的文件", "*.tvx *.mm *.xmind *.opml *.md *.markdown *.txt *.km *.mmd "
                                "*.mermaid *.puml *.plantuml *.pu"},
            {tavlo::kFileFilter, "*.tvx"}};
        v.insert(v.end(), std::begin(kMapTypes), std::end(kMapTypes));
        v.push_back({"所有文件 (*.*)", "*"});
        return v;
    }();
    return types;
}

const std::vector<FileType>& importFileTypes() {
    static const std::vector<FileType> types = [] {
        std::vector<FileType> v = {{"可导入的导图", kMapPatterns}};
        v.insert(v.end(), std::begin(kMapTypes), std::end(kMapTypes));
        v.push_back({"所有文件 (*.*)", "*"});
        return v;
    }();
    return types;
}

std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, const QString& caption,
                                            const QString& folder,
                                            const std::vector<FileType>& types, bool save) {
    auto dialog = std::make_unique<QFileDialog>(parent, caption, folder);
    // Qt's own dialog speaks the program's language whatever the desktop is.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    // The labels already name their patterns; Qt must not add them again.
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QStringList filters;
    for (const FileType& type : types)
        filters << QString("%1 (%2)").arg(QString::fromUtf8(type.label), type.pattern);
    dialog->setNameFilters(filters);
    dialog->setProxyModel(new ChineseFileColumns(dialog.get()));
    return dialog;
}

namespace {

QString runFileDialog(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace

QString askOpenFile(QWidget* parent, const QString& caption, const QString& folder,
                    const std::vector<FileType>& types, const QString& defaultSuffix) {
    const auto dialog = makeFileDialog(parent, caption, folder, types, false);
    dialog->setDefaultSuffix(defaultSuffix);
    return runFileDialog(*dialog);
}

QString askSaveFile(QWidget* parent, const QString& caption, const QString& suggestion,
                    const std::vector<FileType>& types, const QString& defaultSuffix) {
    const auto dialog = makeFileDialog(parent, caption, QString(), types, true);
    dialog->setDefaultSuffix(defaultSuffix);
    dialog->selectFile(suggestion);
    return runFileDialog(*dialog);
}

#pragma once
// The application object: settings, the recent-file list, and the two stores
// shared by every open document (the shape clipboard and the picture cache).

#include <list>
#include <vector>

#include <QApplication>
#include <QStringList>

#include "document/AppNames.h"

class CMainFrame;
class QTranslator;
class ZImageTexture;
class ZN_ShapeBase;

class CTavloApp : public QApplication {
    Q_OBJECT
public:
    static constexpr const char* kOrganisation = tavlo::kOrganisation;
    static constexpr const char* kApplication = tavlo::kApplication;
    static constexpr const char* kMainTitle = "Qelmo思维导图(2.03版)";
    static constexpr const char* kUntitled = "未命名";
    static constexpr const char* kFileFilter = tavlo::kFileFilter;
    static constexpr const char* kFileExtension = tavlo::kFileExtension;
    static constexpr int kRecentFiles = 4;

    // Must be called before the application object exists.
    static void prepare();

    CTavloApp(int& argc, char** argv);
    ~CTavloApp() override;

    static CTavloApp* instance();

    // Builds the main window and opens the file named on the command line, if
    // any. False when the program cannot start.
    bool InitInstance();
    // Frees the shape clipboard and the picture cache.
    void ExitInstance();

    CMainFrame* mainFrame() const { return mainFrame_; }
    // Qt's Chinese translations, when they were found and installed.
    const QTranslator* qtTranslator() const { return qtTranslator_; }

    // Takes a picture into the cache shared by every document; works without
    // an application object too (the command line), where it frees at exit.
    static void addTexture(ZImageTexture* texture);

    QStringList recentFiles() const;
    void addRecentFile(const QString& path);
    void removeRecentFile(const QString& path);

    int appLook = 208;
    int hiColorIcons = 1;
    std::list<ZN_ShapeBase*> clipboardShapes; // owned clones made by Copy
    std::vector<ZImageTexture*> textures;      // owned; never pruned while running

private:
    void installQtTranslations();

    CMainFrame* mainFrame_ = nullptr;
    QTranslator* qtTranslator_ = nullptr; // child object
    bool exited_ = false;
};

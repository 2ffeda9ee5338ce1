#include "app/TinctorApplication.h"

#include <QIcon>
#include <QLibraryInfo>

#include <cstdio>

#include "app/Main.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "scripthost/SampleScripts.h"
#include "settings/ProgramFolder.h"
#include "settings/FolderMacros.h"

namespace tinctor {

namespace {

// The name of the desktop entry (tinctor.desktop) and of the icon.
constexpr const char* DesktopEntryName = "tinctor";

}  // namespace

TTinctorApplication::TTinctorApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QString::fromLatin1(ApplicationTitle));
    // The installed desktop entry and icon: the window's class is the application name
    // (the entry's StartupWMClass), and the icon comes from the hicolor theme.
    setDesktopFileName(QString::fromLatin1(DesktopEntryName));
    setWindowIcon(QIcon::fromTheme(QString::fromLatin1(DesktopEntryName)));
    // The interface is Japanese, so Qt's own buttons and dialogs are too.
    if (qtTranslator_.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&qtTranslator_);
    else
        std::fputs("Tinctor: Qt's Japanese translation (qt6-translations-l10n) is not installed\n", stderr);
}

bool TTinctorApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportException(std::current_exception());
        return false;
    }
}

int TTinctorApplication::Run() {
    // Program-wide folders first: the program folder, its scripts folder and the
    // special-folder table of stored paths.
    Guarded([] {
        const TProgramFolderInfo folder = ResolveProgramFolder();
        SetProgramFolder(folder.Folder);
        TSpecialFolders::Reload();
        // A program folder made just now, or one without a Scripts folder, starts with
        // the sample scripts.
        EnsureSampleScripts(DataFolder(), ScriptsFolder());
    });
    TTinctorForm form;
    form.show();
    return exec();
}

}  // namespace tinctor

// kestro: the TeX tool bar on Linux.
#include <QApplication>
#include <QLocale>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BarIcons.h"
#include "BarSession.h"
#include "PosixFileSystem.h"
#include "QtTranslations.h"
#include "StartupEnvironment.h"
#include "TerminationSignals.h"
#include "app/Startup.h"
#include "text/PlatformRules.h"

int main(int argc, char** argv) {
    using namespace kestro;

    // The whole tail is the document: Qt sees none of it, so no file name
    // is ever taken for one of its options.
    const std::vector<std::string> arguments(argv, argv + argc);
    const PlatformRules rules = PlatformRules::native();

    if (const std::optional<std::string> platform = preferredQtPlatform([](const std::string& name) {
            const char* value = std::getenv(name.c_str());
            return value ? std::optional<std::string>(value) : std::nullopt;
        })) {
        ::setenv("QT_QPA_PLATFORM", platform->c_str(), 1);
    }

    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication application(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("kestro"));
    QApplication::setDesktopFileName(QStringLiteral("kestro"));
    QApplication::setWindowIcon(barIcon(128));
    installQtTranslations(QLocale::system());
    TerminationSignals termination;
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        std::fputs("kestro: on Wayland the compositor places the bar and its windows and decides whether "
                   "the bar stays above other windows\n",
                   stderr);
    }

    PosixFileSystem files;
    const std::optional<std::string> workingDirectory = files.currentDirectory();
    const std::string settingsPath = settingsPathForStart(rules, workingDirectory);
    const std::string appName = applicationNameFromExecutable(rules, arguments.front());
    const std::string document =
        documentFromDirectory(documentFromCommandTail(commandTailOf(arguments)), workingDirectory);

    BarSession session(settingsPath, appName, document);
    // Ended from outside: the running tool is stopped, and the bar closes
    // once its road is over.
    QObject::connect(&termination, &TerminationSignals::received, &session.window(), [&session] {
        session.processes().stopTool();
        session.window().close();
    });
    session.start();
    return QApplication::exec();
}

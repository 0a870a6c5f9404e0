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
#include "app/Startup.h"
#include "text/PlatformRules.h"

namespace {

std::optional<std::string> environmentValue(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? std::optional<std::string>(value) : std::nullopt;
}

// What Qt says while it looks for a display is held back: when it finds
// none it ends the program (with SIGABRT and several lines of advice), and
// one line of our own says why instead; when it finds one, its lines follow.
QStringList heldBackMessages;

void holdBackStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        std::fputs(kestro::noDisplayText(environmentValue).c_str(), stderr);
        std::_Exit(EXIT_FAILURE);
    }
    heldBackMessages << qFormatLogMessage(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kestro;

    // The whole tail is the document: Qt sees none of it, so no file name
    // is ever taken for one of its options.
    const std::vector<std::string> arguments(argv, argv + argc);
    const StartRequest request = startRequestOf(arguments);
    if (request.kind == StartRequest::Kind::Help) {
        std::fputs(usageText().c_str(), stdout);
        return EXIT_SUCCESS;
    }
    if (request.kind == StartRequest::Kind::Version) {
        std::fputs("kestro " KESTRO_VERSION "\n", stdout);
        return EXIT_SUCCESS;
    }
    const PlatformRules rules = PlatformRules::native();

    if (const std::optional<std::string> platform = preferredQtPlatform(environmentValue)) {
        ::setenv("QT_QPA_PLATFORM", platform->c_str(), 1);
    }

    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    const QtMessageHandler qtHandler = qInstallMessageHandler(holdBackStartMessage);
    QApplication application(qtArgc, qtArgv);
    qInstallMessageHandler(qtHandler);
    for (const QString& message : heldBackMessages) std::fprintf(stderr, "%s\n", qPrintable(message));

    QApplication::setApplicationName(QStringLiteral("kestro"));
    QApplication::setDesktopFileName(QStringLiteral("kestro"));
    QApplication::setWindowIcon(barIcon(128));
    installQtTranslations(QLocale::system());
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
        documentFromDirectory(documentFromCommandTail(request.commandTail), workingDirectory);

    BarSession session(settingsPath, appName, document);
    session.endOnTerminationSignals();
    session.start();
    return QApplication::exec();
}

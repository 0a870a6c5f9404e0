#include "KestroBuild.h"

#include <unistd.h>

#include <optional>

#include "PosixFileSystem.h"
#include "PosixProcesses.h"
#include "PosixShell.h"
#include "PosixTextFileStore.h"
#include "TerminalUi.h"
#include "app/BarApp.h"
#include "app/BarWindow.h"
#include "build/CompileDocument.h"
#include "document/DocumentPath.h"
#include "pdf/PdfOutput.h"
#include "settings/IniProfile.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsLoad.h"

namespace kestro::cli {
namespace {

std::string absoluteDocument(const std::string& document, const std::optional<std::string>& cwd) {
    if (document.front() == '/' || !cwd) return document;
    std::string path = *cwd;
    if (path.empty() || path.back() != '/') path += '/';
    return path + document;
}

}  // namespace

int runKestroBuild(const CliOptions& options, const std::string& programPath, Terminal* terminal,
                   std::ostream& messages) {
    const PlatformRules rules = PlatformRules::posix();
    const std::string appName = applicationNameFromExecutable(rules, programPath);

    PosixFileSystem files;
    const std::optional<std::string> cwd = files.currentDirectory();
    const std::string document = absoluteDocument(options.document, cwd);
    if (document.front() != '/') {
        messages << appName << ": the current directory cannot be read\n";
        return kExitFailure;
    }
    if (!files.exists(document)) {
        messages << appName << ": " << document << " が見つかりません。\n";
        return kExitUsage;
    }

    // Tools read the terminal when kestro-build has one; otherwise nothing,
    // so TeX stops at an error instead of waiting for an answer.
    PosixProcesses processes(::isatty(0) ? StdinMode::Inherit : StdinMode::Empty);
    PosixTextFileStore store;
    IniProfile profile(store);
    SettingsFile settings(profile, settingsPathForStart(rules, cwd));
    TerminalUi ui(options, messages, terminal,
                  [&processes](const ShellOpenRequest& request) { return posixShellOpen(request, processes); });
    Services services{rules, settings, files, processes, ui, appName};

    // The bar's start-up, less the history and the window.
    BarWindow bar(services, "");
    BarState& state = bar.state();
    loadPaperGroup(state, settings);
    loadToolGroup(state, settings, rules);
    state.documentPath = document;
    DocumentParts parts = splitDocumentPath(rules, document);
    state.documentStem = std::move(parts.stem);
    state.documentDir = std::move(parts.directory);
    state.documentExt = std::move(parts.extension);

    // Where a dialog is switched off, its command-line value holds for this
    // run only; where it shows, the dialog takes the value and stores it.
    if (options.paperSizeNo && state.paperSizeSticky != 0) state.paperSizeNo = *options.paperSizeNo;
    if (options.indexOptions && state.indexDialogNever != 0) state.indexOptions = *options.indexOptions;

    const std::string pdfPath = state.documentDir + state.documentStem + ".pdf";
    bool succeeded = false;
    bar.dispatch([&] {
        switch (options.road) {
        case Road::Tex:
            succeeded = compileDocument(state, services) != 0 && convertDviToPdf(state, services) == 1;
            break;
        case Road::Pdf:
            openPdf(state, services);
            succeeded = ui.pdfHandedOver();
            break;
        case Road::OneClick:
            buildAndShowPdf(state, services);
            succeeded = ui.pdfHandedOver();
            break;
        }
    });
    // A converter that says it succeeded but left no file made no PDF.
    if (succeeded && !files.exists(pdfPath)) succeeded = false;
    return succeeded ? kExitSuccess : kExitFailure;
}

}  // namespace kestro::cli

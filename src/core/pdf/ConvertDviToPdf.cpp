#include <optional>
#include <string>
#include <vector>

#include "pipeline/CompileDocument.h"
#include "pipeline/DocumentDirectory.h"
#include "pipeline/Launcher.h"
#include "pipeline/ToolSearch.h"
#include "dialogs/PaperSizeDialog.h"
#include "dialogs/ToolSelection.h"
#include "pdf/PdfOutput.h"
#include "settings/SettingsKeys.h"
#include "text/TextFormat.h"

namespace kestro {
namespace {

constexpr const char* kCannotMakePdf = "PDF file が作れません！";
constexpr const char* kCannotStartConverter =
    "dvipdfmx \"%s\" が起動できません。\n「設定」で「dvipdfmx の選択」をして下さい。";

// The first successful conversion is remembered for good: from then on a
// failure is taken for a passing problem, not for a wrong converter.
int finish(BarState& state, Services& services, int result) {
    if (state.acrSetting == 0 && result == 1) {
        state.acrSetting = 1;
        services.settings.writeSettingInt(keys::kSettings, keys::kAcr, 1);
    }
    return result;
}

// The DVI file, compiled first when there is none; false when there is
// still none.
bool haveDvi(BarState& state, Services& services, const std::string& dviPath) {
    if (services.files.exists(dviPath)) return true;
    const int compiled = compileDocument(state, services);
    return compiled != 0 || services.files.exists(dviPath);
}

// Runs the converter in the document's directory. One that cannot be started
// is searched for in the fixed directories, unless it names one executable,
// and stored when found. Its exit code, or nothing when none ran.
std::optional<int> runConverter(BarState& state, Services& services, const std::vector<CommandPart>& parts) {
    enterDocumentDirectory(state, services);
    const int exitCode = runAndWait(services, state.dvipdfCommand, parts);
    if (exitCode == kStartRefused) return std::nullopt;
    if (exitCode != -1) return exitCode;

    auto notStarted = [&] { services.road.noteStop(state.dvipdfCommand + " could not be started"); };
    if (services.rules.namesExecutable(state.dvipdfCommand)) {
        // A converter fixed to one executable is not searched for; the
        // user still learns why no PDF came and where to fix it.
        showBarMessage(services, fillPlaceholder(kCannotStartConverter, "%s", state.dvipdfCommand));
        notStarted();
        return std::nullopt;
    }
    const SearchResult found = searchToolDirs(services, state.dvipdfCommand, parts, SearchAcceptance::AnyStart);
    if (found.outcome != SearchResult::Outcome::Accepted) {
        notStarted();
        selectDvipdf(state, services);
        return std::nullopt;
    }
    state.dvipdfCommand = found.candidate;
    services.settings.writeSettingString(keys::kSettings, keys::kDviPdf, state.dvipdfCommand);
    return found.exitCode;
}

}  // namespace

int convertDviToPdf(BarState& state, Services& services) {
    if (!haveDvi(state, services, state.documentDir + state.documentStem + ".dvi")) {
        return finish(state, services, 0);
    }
    if (state.paperSizeSticky == 0 && choosePaperSize(state, services) == 0) {
        services.road.noteStop("the paper size was not chosen");
        return finish(state, services, 0);
    }
    // A converter that reports success without writing the PDF made none;
    // the road's judgement needs to know (the result stays the exit code's).
    const std::string pdfPath = state.documentDir + state.documentStem + ".pdf";
    const std::optional<FileTime> pdfBefore = services.files.modificationTime(pdfPath);
    const std::vector<CommandPart> parts{optionsPart(paperOptionText(services.rules, state.paperSizeNo)),
                                         stemPart(state.documentStem)};
    const std::optional<int> exitCode = runConverter(state, services, parts);
    if (!exitCode) return finish(state, services, 0);

    auto converted = [&] {
        if (services.files.modificationTime(pdfPath) == pdfBefore) {
            services.road.noteStop(state.dvipdfCommand + " wrote no PDF file");
        }
        return finish(state, services, 1);
    };
    if (*exitCode == 0) return converted();

    // A viewer holding the PDF open is the usual cause: one more try after
    // the user has closed it.
    if (showAppMessage(services, services.rules.texts().viewerQuestion, BoxButtons::OkCancel) == Answer::Ok &&
        runAndWait(services, state.dvipdfCommand, parts) == 0) {
        return converted();
    }
    showBarMessage(services, kCannotMakePdf);
    if (state.acrSetting == 0) selectDvipdf(state, services);
    return finish(state, services, 0);
}

}  // namespace kestro

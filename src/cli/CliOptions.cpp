#include "CliOptions.h"

#include <utility>

#include "dialogs/PaperSizeDialog.h"
#include "text/CodePage.h"

namespace kestro::cli {
namespace {

// "--name=value" or "--name value"; false when the value is missing.
bool takeValue(const std::vector<std::string>& arguments, std::size_t& i, const std::string& name,
               std::string& value) {
    const std::string& argument = arguments[i];
    if (argument.size() > name.size() && argument.compare(0, name.size(), name) == 0 &&
        argument[name.size()] == '=') {
        value = argument.substr(name.size() + 1);
        return true;
    }
    if (i + 1 >= arguments.size()) return false;
    value = arguments[++i];
    return true;
}

bool hasName(const std::string& argument, const std::string& name) {
    return argument == name || argument.rfind(name + "=", 0) == 0;
}

}  // namespace

std::optional<int> paperSizeNumber(const std::string& name) {
    const std::string wanted = foldAsciiCase(CodePage::Utf8, name);
    for (std::size_t i = 0; i < PaperSizeDialog::kChoices.size(); ++i) {
        if (foldAsciiCase(CodePage::Utf8, PaperSizeDialog::kChoices[i].caption) == wanted) return static_cast<int>(i);
    }
    return std::nullopt;
}

namespace {

constexpr std::pair<const char*, Road> kRoadOptions[] = {
    {"--tex", Road::Tex}, {"--pdf", Road::Pdf}, {"--one-click", Road::OneClick},
    {"--clean", Road::Clean}, {"--clean-all", Road::CleanAll},
};

std::optional<Road> roadNamed(const std::string& argument) {
    for (const auto& [name, road] : kRoadOptions) {
        if (argument == name) return road;
    }
    return std::nullopt;
}

// The two choices that an option of each pair makes; a second, different
// option of a pair is refused.
struct Choices {
    std::optional<std::string> roadOption;
    std::optional<std::string> answerOption;
};

// The option at arguments[i], whose value may be the next word (i then
// moves past it): why it is wrong, or "" when it is taken.
std::string takeOption(const std::vector<std::string>& arguments, std::size_t& i, CliOptions& options,
                       Choices& choices) {
    const std::string& argument = arguments[i];
    auto& [roadOption, answerOption] = choices;
    if (argument == "--help" || argument == "-h") {
        options.help = true;
    } else if (argument == "--version") {
        options.version = true;
    } else if (const std::optional<Road> road = roadNamed(argument)) {
        if (roadOption && *roadOption != argument) {
            return *roadOption + " and " + argument + " cannot be combined";
        }
        roadOption = argument;
        options.road = *road;
    } else if (argument == "--yes" || argument == "--no") {
        if (answerOption && *answerOption != argument) {
            return *answerOption + " and " + argument + " cannot be combined";
        }
        answerOption = argument;
        options.answer = argument == "--yes" ? Answer::Ok : Answer::Cancel;
    } else if (argument == "--no-view") {
        options.noView = true;
    } else if (argument == "--watch") {
        options.watch = true;
    } else if (hasName(argument, "--paper")) {
        std::string value;
        if (!takeValue(arguments, i, "--paper", value)) return "--paper needs a paper size";
        options.paperSizeNo = paperSizeNumber(value);
        if (!options.paperSizeNo) return "unknown paper size: " + value;
    } else if (hasName(argument, "--index-options")) {
        std::string value;
        if (!takeValue(arguments, i, "--index-options", value)) return "--index-options needs a text (\"\" for none)";
        // Kestro.ini holds one line per key: such a value could never be stored.
        if (value.find_first_of("\r\n") != std::string::npos) return "--index-options cannot hold a line break";
        options.indexOptions = value;
    } else if (hasName(argument, "--tex-options")) {
        std::string value;
        if (!takeValue(arguments, i, "--tex-options", value)) return "--tex-options needs a text (\"\" for none)";
        if (value.find_first_of("\r\n") != std::string::npos) return "--tex-options cannot hold a line break";
        options.texOptions = value;
    } else if (argument == "--rerun-on-change") {
        options.rerunOnChange = true;
    } else {
        return "unknown option: " + argument;
    }
    return "";
}

}  // namespace

ParseResult parseCommandLine(const std::vector<std::string>& arguments) {
    CliOptions options;
    Choices choices;
    std::vector<std::string> documents;
    bool optionsEnded = false;

    auto fail = [](std::string why) { return ParseResult{std::nullopt, std::move(why)}; };

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            documents.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (std::string wrong = takeOption(arguments, i, options, choices); !wrong.empty()) {
            return fail(std::move(wrong));
        }
    }

    if (options.help || options.version) return ParseResult{options, ""};
    if (options.watch && options.road == Road::Pdf) return fail("--pdf and --watch cannot be combined");
    if (options.watch && (options.road == Road::Clean || options.road == Road::CleanAll)) {
        return fail(*choices.roadOption + " and --watch cannot be combined");
    }
    if (documents.empty()) return fail("no document given");
    if (documents.size() > 1) return fail("only one document can be given");
    if (documents[0].empty()) return fail("the document name is empty");
    options.document = documents[0];
    return ParseResult{options, ""};
}

std::string usageText(const std::string& programName) {
    return "Usage: " + programName +
           " [--tex | --pdf | --one-click] [--yes | --no] [--paper SIZE]\n"
           "       [--index-options TEXT] [--tex-options TEXT] [--rerun-on-change]\n"
           "       [--no-view] [--watch] [--] FILE.tex\n"
           "       " + programName + " --clean | --clean-all [--] FILE.tex\n"
           "\n"
           "Runs one of the bar's buttons on FILE.tex, with the settings of Kestro.ini\n"
           "in the current directory.\n"
           "\n"
           "  --tex              compile, then convert the DVI file to PDF (default)\n"
           "  --pdf              show the PDF, making it first when there is none\n"
           "  --one-click        compile, convert and show the PDF\n"
           "  --yes, --no        answer every OK/Cancel question with OK or Cancel;\n"
           "                     without them questions are asked on the terminal,\n"
           "                     and answered Cancel when there is none\n"
           "  --paper SIZE       the size to confirm in the paper size dialog: a3 a4 a5 a6\n"
           "                     landscape b3 b4 b5 b6 b5var letter legal ledger tabloid;\n"
           "                     when the dialog is switched off, the size of this run only\n"
           "  --index-options TEXT\n"
           "                     the text to confirm in the index options dialog; when\n"
           "                     the dialog is switched off, the options of this run only\n"
           "  --tex-options TEXT\n"
           "                     options for every compiler run, between the compiler\n"
           "                     and the document: -synctex=1 (SyncTeX for the editor\n"
           "                     and the viewer), -kanji=sjis, -shell-escape; in place\n"
           "                     of TeXOpt in Kestro.ini, for this run only\n"
           "  --rerun-on-change  compile again after the bibliography or index tool only\n"
           "                     when the .bbl or .ind it wrote changed (as RerunOnChange=1)\n"
           "  --clean            build nothing; remove the files the road wrote beside\n"
           "                     FILE.tex (.aux .log .toc .dvi .bbl .idx .ind .synctex.gz\n"
           "                     and the like), never FILE.tex, a .bib or the PDF\n"
           "  --clean-all        the same, and the PDF\n"
           "  --no-view          do not hand the PDF to the viewer\n"
           "  --watch            build, then again on every save of the document or a\n"
           "                     file it read, until interrupted (not with --pdf)\n"
           "  --                 the next word is FILE.tex, also when it begins with -\n"
           "  --help             show this text\n"
           "  --version          show the program's version\n"
           "\n"
           "Exit status: 0 when every tool run ended with 0 and the PDF was written\n"
           "(for --pdf: or was there) and, for --pdf and --one-click, shown unless\n"
           "--no-view; 1 when not, with a last line on standard error that says what\n"
           "failed (after FILE:LINE: MESSAGE for the first TeX error of the log);\n"
           "for --clean, 0, or 1 when a file could not be removed (a file left alone\n"
           "does not count); 2 for a wrong command line or a document that cannot be\n"
           "found or is no regular file; 128 + the signal when SIGTERM, SIGHUP or\n"
           "SIGINT stopped it (the running tool's process group gets the same signal).\n"
           "After a road, FILE:LINE: warning: MESSAGE for each LaTeX warning of the log.\n";
}

}  // namespace kestro::cli

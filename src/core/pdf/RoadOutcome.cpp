#include "pdf/RoadOutcome.h"

namespace kestro {

namespace {

// Why the road failed, or nothing when it did not.
std::optional<std::string> failureOf(RoadKind kind, const RoadRecord& record, std::optional<FileTime> pdfBefore,
                                     std::optional<FileTime> pdfAfter) {
    // The first tool that failed: what came after it is a consequence.
    for (const ToolRun& run : record.runs()) {
        if (run.signal != 0) return run.program + " killed by signal " + std::to_string(run.signal);
        if (run.exitCode != 0) return run.program + " exited with " + std::to_string(run.exitCode);
    }
    if (!record.stop().empty()) return record.stop();

    const bool written = pdfAfter && pdfAfter != pdfBefore;
    const bool alreadyThere = kind == RoadKind::Pdf && pdfBefore && pdfAfter;
    if (!written && !alreadyThere) return std::string("no PDF file was written");

    if (kind != RoadKind::Tex) {
        const std::optional<bool> opened = record.viewerOpened();
        if (!opened) return std::string("the PDF file was not handed to the viewer");
        if (!*opened) return std::string("the viewer could not open the PDF file");
    }
    return std::nullopt;
}

}  // namespace

RoadOutcome judgeRoad(RoadKind kind, const RoadRecord& record, std::optional<FileTime> pdfBefore,
                      std::optional<FileTime> pdfAfter) {
    RoadOutcome outcome;
    outcome.runs = record.runs();
    const std::optional<std::string> failure = failureOf(kind, record, pdfBefore, pdfAfter);
    outcome.succeeded = !failure;
    outcome.failure = failure.value_or("");
    return outcome;
}

}  // namespace kestro

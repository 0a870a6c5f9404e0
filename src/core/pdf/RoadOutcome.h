// How one press of the TeX, PDF or one-click button ended, judged from what
// it ran: the front ends use it to say that a road failed and what failed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "state/RoadRecord.h"
#include "seam/FileSystem.h"

namespace kestro {

enum class RoadKind {
    Tex,       // compile and convert
    Pdf,       // show the PDF, making it first when there is none
    OneClick,  // compile, convert and show
};

struct RoadOutcome {
    bool succeeded = false;
    // What failed, for the user ("platex exited with 1"); empty on success.
    std::string failure;
    // Every tool run of the road, in order.
    std::vector<ToolRun> runs;
};

// A road succeeds only when no tool run ended with a non-zero exit code or a
// signal, no step gave up, the PDF was written in this road (for the PDF
// button: or was there already, so nothing was to be made) and, for the
// roads that show it, the viewer took it. The PDF's modification times are
// taken before and after the road (nothing: no such file).
RoadOutcome judgeRoad(RoadKind kind, const RoadRecord& record, std::optional<FileTime> pdfBefore,
                      std::optional<FileTime> pdfAfter);

}  // namespace kestro

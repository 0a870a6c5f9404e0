// What one press of a build button did: every tool run, and why the road
// stopped where no tool failed. Judged afterwards (pdf/RoadOutcome.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kestro {

struct ToolRun {
    std::string program;  // the program text as started
    int exitCode = 0;     // as runAndWait yields it (128 + the signal on Linux)
    int signal = 0;       // the signal that ended it; 0 when none did
};

class RoadRecord {
public:
    // A new press begins.
    void clear() { *this = RoadRecord(); }

    void addRun(ToolRun run) { runs_.push_back(std::move(run)); }
    // A step gave up and the road ends there, though no tool failed; the
    // first reason given is the one that counts.
    void noteStop(const std::string& why) {
        if (stop_.empty()) stop_ = why;
    }
    // The PDF was handed to the viewer (true) or the viewer could not open it.
    void noteViewer(bool opened) { viewerOpened_ = opened; }

    const std::vector<ToolRun>& runs() const { return runs_; }
    const std::string& stop() const { return stop_; }
    std::optional<bool> viewerOpened() const { return viewerOpened_; }

private:
    std::vector<ToolRun> runs_;
    std::string stop_;
    std::optional<bool> viewerOpened_;
};

}  // namespace kestro

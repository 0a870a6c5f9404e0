#include "BarSession.h"

#include <QApplication>
#include <QSessionManager>

#include <cstdio>
#include <cstdlib>

namespace kestro {

BarSession::BarSession(const std::string& settingsPath, const std::string& appName, const std::string& document)
    : profile_(store_),
      settings_(profile_, settingsPath),
      window_(std::make_unique<QtBarWindow>()),
      processes_(window_.get()),
      desktop_(processes_.platform()),
      ui_(window_.get()),
      services_{PlatformRules::native(), settings_, files_, processes_, desktop_, ui_, appName, &ui_},
      core_(services_, document) {
    window_->attach(core_, processes_, ui_);
    // However the run ends, the history is written at its end; a logout
    // the user then cancels must not end the bar's bookkeeping.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, window_.get(),
                     [this](QSessionManager&) { commitData(); });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, window_.get(), [this] { core_.endRun(); });
}

void BarSession::start() { window_->start(); }

void BarSession::commitData() {
    if (!core_.ended()) core_.saveHistory();
}

void BarSession::endOnTerminationSignals() {
    if (termination_ != nullptr) return;
    termination_ = new TerminationSignals(window_.get());
    QObject::connect(termination_, &TerminationSignals::received, window_.get(), [this] { endFromOutside(); });
    QObject::connect(&processes_, &ConsoleProcesses::toolFinished, window_.get(), [this] {
        if (ending_) endOnceToolStopped();
    });
}

void BarSession::endFromOutside() {
    // A second signal changes nothing: the first one's ending is under way.
    if (ending_) return;
    // Nobody may be there to answer a box now (a logout): its text goes to
    // standard error instead.
    ending_ = true;
    ui_.answerBoxesOnStandardError();
    if (processes_.toolRunning()) {
        processes_.stopTool();
        return;
    }
    endOnceToolStopped();
}

void BarSession::endOnceToolStopped() {
    if (!window_->busy() && QApplication::activeModalWidget() == nullptr) {
        window_->close();
        return;
    }
    // A dialog, a box or a road is under way, each in an event loop of its
    // own that would hold the bar until someone closed it. Every setting it
    // changed is already written whole, so the history is written and the
    // process ends here, before it can go on with answers nobody gave.
    core_.endRun();
    std::fflush(nullptr);
    std::_Exit(EXIT_SUCCESS);
}

}  // namespace kestro

#include "BarSession.h"

#include <QApplication>
#include <QSessionManager>

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

}  // namespace kestro

// SIGTERM, SIGHUP and SIGINT (the desktop session ends, the terminal the bar
// was started from closes, Ctrl-C in it) arrive as a Qt signal in the event
// loop, so the bar can end as after a close request, writing its history,
// instead of dying.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace kestro {

class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received();

private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace kestro

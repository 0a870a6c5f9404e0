// SIGTERM, SIGHUP and SIGINT (the desktop session ends, the terminal the bar
// was started from closes, Ctrl-C in it) arrive as a Qt signal in the event
// loop, so the bar can end as after a close request, writing its history,
// instead of dying. A signal ignored when the bar starts stays ignored.
#pragma once

#include <QObject>

#include <vector>

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
    std::vector<int> handled_;
};

}  // namespace kestro

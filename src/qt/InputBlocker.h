// Keeps every user input away from one window and its controls while it is
// engaged (a tool runs), without disabling them: the window still repaints
// as usual, and other windows (the tool's console) take input normally.
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace kestro {

class InputBlocker : public QObject {
    Q_OBJECT

public:
    explicit InputBlocker(QWidget* guarded);

    void engage();
    void release();
    bool engaged() const { return engaged_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isGuarded(QObject* object) const;

    QPointer<QWidget> guarded_;
    bool engaged_ = false;
};

}  // namespace kestro

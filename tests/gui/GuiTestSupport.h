// Helpers of the Qt bar's tests: a stand-in user that answers the modal
// windows the bar opens, and a bar started on a scratch directory's
// settings file (the fake TeX tools and scratch files are the POSIX tests').
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>

#include "BarSession.h"
#include "PosixSupport.h"

class QAbstractButton;

namespace kestro::test {

using namespace posixtest;

inline QString text(const std::string& bytes) { return QString::fromStdString(bytes); }

// Waits (running the event loop) until `condition` holds; false on time-out.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 10000);

// Answers every modal window as it opens: message boxes are recorded and
// ended with OK unless the handler takes them; other windows go to the
// handler, and are cancelled when it does not take them.
class ModalAnswerer : public QObject {
    Q_OBJECT

public:
    ModalAnswerer();
    std::function<bool(QWidget*)> handler;
    QStringList messages;  // the texts of the message boxes seen
    QStringList windows;   // the object names of the other windows seen

private:
    QList<QPointer<QWidget>> seen_;
};

// Types `path` into a file dialog and accepts it.
void acceptFileDialog(QWidget* dialog, const std::string& path);
// Clicks a check box or radio button on its indicator, where a user clicks.
void clickBox(QAbstractButton* box);
// Drags local files onto `target` and drops them there (when it takes them).
void drop(QWidget* target, const std::vector<std::string>& paths);

// A scratch directory, a stand-in user, the fake TeX tools, and a bar on
// the directory's Kestro.ini once start() is called.
struct BarFixture {
    std::unique_ptr<ScratchDirectory> work;
    std::unique_ptr<ModalAnswerer> user;
    std::unique_ptr<FakeTex> tex;
    std::unique_ptr<BarSession> session;

    BarFixture() { reset(); }
    void reset();
    // A bar started on `ini` with `document` (empty: the first history entry).
    BarSession& start(const std::string& ini, const std::string& document = "");
};

}  // namespace kestro::test

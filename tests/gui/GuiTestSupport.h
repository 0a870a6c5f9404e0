// Helpers of the GUI tests: a work folder with a settings file, fake
// programs, and a stand-in user that answers the modal windows the bar opens.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <functional>
#include <memory>
#include <string>

class QAbstractButton;
class QTimer;
class QWidget;

namespace kestro {
class BarSession;
}

namespace kestro::test {

std::string bytes(const QString& text);
QString text(const std::string& bytes);

// A temporary folder for one test.
class Workspace {
public:
    Workspace();
    QString path(const QString& name = QString()) const;
    std::string pathBytes(const QString& name = QString()) const { return bytes(path(name)); }
    // Writes a file (creating its folders) and returns its path.
    QString write(const QString& name, const QByteArray& content);
    // A shell script with the execute bit.
    QString script(const QString& name, const QByteArray& body);
    QString settingsPath() const { return path(QStringLiteral("Kestro.ini")); }
    QString settings() const;  // the settings file's text
    // A program that writes "<its working folder>|<first argument>" to
    // `marker`, then ends with `exitCode`.
    QString recorder(const QString& name, const QString& marker, int exitCode = 0);

private:
    QTemporaryDir dir_;
};

// Waits (running the event loop) until `condition` holds; false on time-out.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 10000);

// Answers every modal window as it opens: message boxes are recorded and
// ended with OK unless a handler says otherwise; other windows go to the
// handler, and are cancelled when it does not take them.
class ModalAnswerer : public QObject {
    Q_OBJECT

public:
    // Returns true when it has dealt with the window.
    using Handler = std::function<bool(QWidget*)>;

    ModalAnswerer();
    ~ModalAnswerer() override;

    void setHandler(Handler handler) { handler_ = std::move(handler); }
    // Texts of the message boxes seen so far, and their captions.
    const QStringList& messages() const { return messages_; }
    const QStringList& captions() const { return captions_; }
    // The object names of the non-message windows seen.
    const QStringList& windows() const { return windows_; }

private:
    void poll();

    QTimer* timer_;
    Handler handler_;
    QStringList messages_;
    QStringList captions_;
    QStringList windows_;
    QList<QPointer<QWidget>> seen_;
};

// Accepts a visible file dialog with `path` chosen.
void acceptFileDialog(QWidget* dialog, const QString& path);

// A file's text without the blanks around it; empty when it is missing.
QString readFile(const QString& path);

// Clicks a check box or radio button on its indicator, where a user clicks.
void clickBox(QAbstractButton* box);

// Drags `urls` onto `target` and drops them there (when it takes them).
void drop(QWidget* target, const QList<QUrl>& urls);

// What most GUI tests start from: a work folder, a stand-in user, and a bar
// on that folder's settings file once start() is called.
struct BarFixture {
    std::unique_ptr<Workspace> work;
    std::unique_ptr<ModalAnswerer> user;
    std::unique_ptr<BarSession> session;

    BarFixture();
    ~BarFixture();
    void reset();  // a fresh folder and user, no bar
    // A bar started with `ini` as its settings file and `document` as its
    // start-up document (empty: the first history entry).
    BarSession& start(const QByteArray& ini, const QString& document = QString());
};

}  // namespace kestro::test

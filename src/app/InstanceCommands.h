#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <deque>
#include <functional>

class InstanceRequest;
class MainWindow;
class SingleInstance;
class Startup;

// What the running program does for the commands another process sends it
// (clipstow --capture 2, --auto toggle, --show, --remote, --hide, --quit),
// each request a line of words:
//   show                  the main window, as a second start shows it
//   remote                the remote window
//   hide                  hides the main window
//   capture [1|2|3]       as the remote window's button of that slot (the
//                         active one without a number): outside auto mode
//                         it captures, in auto mode it makes the slot active
//   auto on|off|toggle    switches auto mode as the remote window's toggle
//   quit                  ends the program as Exit does
// Requests that come while the program is starting wait until start-up is
// through, the window up meanwhile (the agreement, the splash) brought to
// the front; a start that ends early (the agreement declined) answers none.
// While start-up waits for the user (the licence agreement, a message) a
// request is answered at once that it cannot be carried out now; "show"
// still shows the main window once start-up is through.
class InstanceCommands final : public QObject
{
    Q_OBJECT

public:
    explicit InstanceCommands(SingleInstance& instance, QObject* parent = nullptr);

    // From another process: sends request to the running instance and
    // prints its answer, on standard output when it was carried out, else
    // on standard error. Returns the exit status: 0 when it was carried
    // out, else 1 ("Clipstow is not running" when nothing runs).
    static int send(SingleInstance& instance, const QString& request);
    static constexpr const char* NotRunningMessage = QT_TR_NOOP("Clipstow is not running");

    // Start-up is through: the waiting requests are carried out from the
    // event loop, later ones as they come.
    void attach(Startup& program);
    // A request of this program's own command line (clipstow --show when
    // no Clipstow ran): carried out once start-up is through.
    void addOwnRequest(const QString& text);

    struct Result
    {
        bool done = false;
        QString text;
    };
    using Reply = std::function<void(const Result& result)>;
    // Carries out the request's words and replies: at once, or for a
    // capture once its text has come from the clipboard's owner and was
    // stored, or not. askingUser is told before a question to the user
    // (quit with unsaved text). Needs attach first.
    void carryOut(const QString& text, Reply reply, const std::function<void()>& askingUser = {});

private:
    void take(InstanceRequest* request);
    // Why start-up cannot carry out a request now; empty when it only
    // has to wait a moment (the splash window).
    static QString waitingForUser();
    void runWaiting();
    Result carryOutAtOnce(const QStringList& words, const QString& text,
                          const std::function<void()>& askingUser);
    void capture(const QString& slotWord, Reply reply);
    Result switchAutoMode(const QString& how);
    Result quit(const std::function<void()>& askingUser);

    // A request goes with its connection; a plain second start, which does
    // not wait for the answer, closes it at once. Its words stay here.
    struct Waiting
    {
        QString text;
        QPointer<InstanceRequest> request;
    };
    std::deque<Waiting> m_waiting;
    Startup* m_program = nullptr;
    MainWindow* m_window = nullptr;
};

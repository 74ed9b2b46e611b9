#include "app/InstanceCommands.h"

#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "ui/AgreementDialog.h"
#include "ui/MainWindow.h"
#include "ui/SplashWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

InstanceCommands::InstanceCommands(SingleInstance& instance, QObject* parent) : QObject(parent)
{
    connect(&instance, &SingleInstance::requestReceived, this, &InstanceCommands::take);
}

int InstanceCommands::send(SingleInstance& instance, const QString& request)
{
    using Outcome = SingleInstance::Answer::Outcome;
    const SingleInstance::Answer answer = instance.ask(request);
    QString text = answer.text;
    if (answer.outcome == Outcome::NotRunning)
        text = tr(NotRunningMessage);
    else if (answer.outcome == Outcome::NoAnswer)
        text = tr("Clipstow did not answer");
    else if (answer.outcome == Outcome::TimedOut)
        text = tr("Clipstow did not answer within %1 seconds")
                   .arg(SingleInstance::AnswerTimeoutMs / 1000);
    const bool done = answer.outcome == Outcome::Done;
    std::FILE* stream = done ? stdout : stderr;
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stream);
    std::fflush(stream);
    return done ? 0 : 1;
}

void InstanceCommands::attach(Startup& program)
{
    m_program = &program;
    m_window = program.mainWindow();
    if (!m_waiting.empty())
        QTimer::singleShot(0, this, &InstanceCommands::runWaiting);
}

void InstanceCommands::addOwnRequest(const QString& text)
{
    take(new InstanceRequest(text, nullptr, this));
}

void InstanceCommands::take(InstanceRequest* request)
{
    if (m_window) {
        m_waiting.push_back({request->text(), request});
        runWaiting();
        return;
    }
    // Start-up shows a window the user has to answer: the request is not
    // lost behind other windows.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
    // Nobody knows when the user answers: the sender is told at once
    // rather than kept waiting. A request of this program's own waits.
    const QString waiting = request->parent() == this ? QString() : waitingForUser();
    if (waiting.isEmpty()) {
        m_waiting.push_back({request->text(), request});
    } else {
        // As a second start's, which does not wait for the answer.
        if (request->text() == QLatin1String("show"))
            m_waiting.push_back({request->text(), nullptr});
        request->answer(false, waiting);
    }
}

QString InstanceCommands::waitingForUser()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || qobject_cast<SplashWindow*>(modal))
        return {};
    if (qobject_cast<AgreementDialog*>(modal))
        return tr("Clipstow is waiting for its licence agreement");
    return tr("Clipstow is waiting for an answer to its message");
}

void InstanceCommands::runWaiting()
{
    // A request may open a dialog, in which further requests arrive and
    // are run: each is taken off the queue before it runs.
    while (!m_waiting.empty()) {
        const Waiting next = m_waiting.front();
        m_waiting.pop_front();
        const QPointer<InstanceRequest> request = next.request;
        carryOut(
            next.text,
            [this, request](const Result& result) {
                // The sender may have stopped waiting.
                if (request)
                    request->answer(result.done, result.text);
                if (request && request->parent() == this)
                    request->deleteLater();
            },
            [request] {
                if (request)
                    request->tellAskingUser();
            });
    }
}

void InstanceCommands::carryOut(const QString& text, Reply reply,
                                const std::function<void()>& askingUser)
{
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.value(0) == QLatin1String("capture") && words.size() <= 2)
        capture(words.value(1), std::move(reply));
    else
        reply(carryOutAtOnce(words, text, askingUser));
}

InstanceCommands::Result InstanceCommands::carryOutAtOnce(const QStringList& words,
                                                          const QString& text,
                                                          const std::function<void()>& askingUser)
{
    const QString command = words.value(0);
    if (command == QLatin1String("auto") && words.size() == 2)
        return switchAutoMode(words.at(1));
    if (words.size() == 1) {
        if (command == QLatin1String("show")) {
            m_window->showWindow();
            return {true, tr("The main window is shown")};
        }
        if (command == QLatin1String("remote")) {
            m_window->showRemoteWindow();
            return {true, tr("The remote window is shown")};
        }
        if (command == QLatin1String("hide")) {
            m_window->hideWindow();
            return {true, m_window->isMinimized()
                              ? tr("The main window is minimised (no notification area to hide "
                                   "it in)")
                              : tr("The main window is hidden")};
        }
        if (command == QLatin1String("quit"))
            return quit(askingUser);
    }
    return {false, tr("Clipstow does not know the request \"%1\"").arg(text)};
}

void InstanceCommands::capture(const QString& slotWord, Reply reply)
{
    Collector& collector = m_window->collector();
    SlotNumber slot = collector.activeSlot();
    if (!slotWord.isEmpty()) {
        bool ok = false;
        const int number = slotWord.toInt(&ok);
        if (!ok || number < 1 || number > SlotCount) {
            reply({false, tr("There is no slot %1 (only 1, 2 and 3)").arg(slotWord)});
            return;
        }
        slot = number;
    }
    const QString where = tr("slot %1 (%2)").arg(slot.number()).arg(collector.fileName(slot));
    const bool capturing = !collector.autoMode() && collector.clipboardHasCapturableText();
    // Outside auto mode the answer waits for the capture's end: the text
    // comes from the clipboard's owner, which may not deliver it.
    QMetaObject::Connection ended;
    if (capturing)
        ended = connect(
            &collector, &Collector::captureEnded, this,
            [reply, where](Collector::CaptureResult result) {
                using R = Collector::CaptureResult;
                if (result == R::Stored)
                    reply({true, tr("Captured into %1").arg(where)});
                else if (result == R::NotDelivered)
                    reply({false, tr("The program that copied did not deliver the text: nothing "
                                     "captured into %1")
                                      .arg(where)});
                else if (result == R::Failed)
                    reply({false, tr("Nothing captured into %1: Clipstow shows why").arg(where)});
                else
                    reply({false,
                           tr("No text in the Clipboard: nothing captured into %1").arg(where)});
            },
            Qt::SingleShotConnection);
    // As the remote window's button of the slot.
    try {
        collector.captureInto(slot, Collector::Trigger::RemoteSlotButton);
    } catch (const std::exception& failure) {
        // The sender learns why, and the user sees it as after a click.
        disconnect(ended);
        const QString why = QString::fromLocal8Bit(failure.what());
        ErrorReporter& errors = collector.errors();
        QTimer::singleShot(0, this, [&errors, why] { errors.show(why); });
        reply({false, why});
        return;
    }
    if (collector.autoMode())
        reply({true, tr("Auto mode captures into %1").arg(where)});
    else if (!capturing)
        reply({false, tr("No text in the Clipboard: nothing captured into %1").arg(where)});
}

InstanceCommands::Result InstanceCommands::switchAutoMode(const QString& how)
{
    Collector& collector = m_window->collector();
    bool on = false;
    if (how == QLatin1String("on"))
        on = true;
    else if (how == QLatin1String("off"))
        on = false;
    else if (how == QLatin1String("toggle"))
        on = !collector.autoMode();
    else
        return {false, tr("Auto mode can be on, off or toggle, not \"%1\"").arg(how)};
    // As the remote window's toggle, whose slot buttons follow.
    if (on != collector.autoMode())
        collector.setAutoMode(on, Collector::Source::RemoteToggle);
    return {true, on ? tr("Auto mode is on") : tr("Auto mode is off")};
}

InstanceCommands::Result InstanceCommands::quit(const std::function<void()>& askingUser)
{
    // As Exit: the settings are saved, and each slot with unsaved changes
    // is asked about. While another window holds the program modally
    // (another question, the preferences) nobody can answer one more: the
    // unsaved text is set aside as when the session ends.
    QStringList unsaved;
    for (SlotNumber slot : SlotNumber::all())
        if (m_window->collector().hasUnsavedText(slot))
            unsaved << QString::number(slot.number());
    if (QApplication::activeModalWidget()) {
        m_program->endSession();
        if (unsaved.isEmpty())
            return {true, tr("Clipstow has ended")};
        return {true, tr("Clipstow has ended; the unsaved text of slot %1 was kept in a file next "
                         "to the slot's file")
                          .arg(unsaved.join(QStringLiteral(", ")))};
    }
    // The sender waits as long as the user takes to answer.
    if (!unsaved.isEmpty() && askingUser)
        askingUser();
    // A second quit or the session may end the program while the question
    // is open: that is an end too, not a cancel.
    if (!m_window->close() && !m_program->hasEnded())
        return {false, tr("Clipstow goes on running: ending it was cancelled")};
    return {true, tr("Clipstow has ended")};
}

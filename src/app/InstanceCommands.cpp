#include "app/InstanceCommands.h"

#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "ui/MainWindow.h"
#include "ui/RemoteWindow.h"

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
        text = QString::fromLatin1(NotRunningMessage);
    else if (answer.outcome == Outcome::NoAnswer)
        text = QCoreApplication::translate("InstanceCommands", "Clipstow did not answer");
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
    m_remote = program.remoteWindow();
    if (!m_waiting.empty())
        QTimer::singleShot(0, this, &InstanceCommands::runWaiting);
}

void InstanceCommands::addOwnRequest(const QString& text)
{
    take(new InstanceRequest(text, nullptr, this));
}

void InstanceCommands::take(InstanceRequest* request)
{
    m_waiting.push_back({request->text(), request});
    if (m_window) {
        runWaiting();
        return;
    }
    // Start-up shows a window the user has to answer: the request is not
    // lost behind other windows.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

void InstanceCommands::runWaiting()
{
    // A request may open a dialog, in which further requests arrive and
    // are run: each is taken off the queue before it runs.
    while (!m_waiting.empty()) {
        const Waiting next = m_waiting.front();
        m_waiting.pop_front();
        const QPointer<InstanceRequest> request = next.request;
        carryOut(next.text, [this, request](const Result& result) {
            // The sender may have stopped waiting.
            if (request)
                request->answer(result.done, result.text);
            if (request && request->parent() == this)
                request->deleteLater();
        });
    }
}

void InstanceCommands::carryOut(const QString& text, Reply reply)
{
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.value(0) == QLatin1String("capture") && words.size() <= 2)
        capture(words.value(1), std::move(reply));
    else
        reply(carryOutAtOnce(words, text));
}

InstanceCommands::Result InstanceCommands::carryOutAtOnce(const QStringList& words,
                                                          const QString& text)
{
    const QString command = words.value(0);
    if (command == QLatin1String("auto") && words.size() == 2)
        return switchAutoMode(words.at(1));
    if (words.size() == 1) {
        if (command == QLatin1String("show")) {
            m_window->showWindow();
            return {true,
                    QCoreApplication::translate("InstanceCommands", "The main window is shown")};
        }
        if (command == QLatin1String("remote")) {
            m_window->showRemoteWindow();
            return {true,
                    QCoreApplication::translate("InstanceCommands", "The remote window is shown")};
        }
        if (command == QLatin1String("hide")) {
            m_window->hideWindow();
            return {
                true,
                m_window->isMinimized()
                    ? QCoreApplication::translate("InstanceCommands",
                                                  "The main window is minimised (no notification "
                                                  "area to hide it in)")
                    : QCoreApplication::translate("InstanceCommands", "The main window is hidden")};
        }
        if (command == QLatin1String("quit"))
            return quit();
    }
    return {false, QCoreApplication::translate("InstanceCommands",
                                               "Clipstow does not know the request \"%1\"")
                       .arg(text)};
}

void InstanceCommands::capture(const QString& slotWord, Reply reply)
{
    Collector& collector = m_window->collector();
    SlotNumber slot = collector.activeSlot();
    if (!slotWord.isEmpty()) {
        bool ok = false;
        const int number = slotWord.toInt(&ok);
        if (!ok || number < 1 || number > SlotCount) {
            reply({false, QCoreApplication::translate("InstanceCommands",
                                                      "There is no slot %1 (only 1, 2 and 3)")
                              .arg(slotWord)});
            return;
        }
        slot = number;
    }
    const QString where = QCoreApplication::translate("InstanceCommands", "slot %1 (%2)")
                              .arg(slot.number())
                              .arg(collector.fileName(slot));
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
                    reply({true, QCoreApplication::translate("InstanceCommands", "Captured into %1")
                                     .arg(where)});
                else if (result == R::NotDelivered)
                    reply({false,
                           QCoreApplication::translate(
                               "InstanceCommands", "The program that copied did not deliver the "
                                                   "text: nothing captured into ") +
                               where});
                else if (result == R::Failed)
                    reply({false, QCoreApplication::translate("InstanceCommands",
                                                              "Nothing captured into ") +
                                      where + QStringLiteral(": Clipstow shows why")});
                else
                    reply({false, QCoreApplication::translate(
                                      "InstanceCommands",
                                      "No text in the Clipboard: nothing captured into %1")
                                      .arg(where)});
            },
            Qt::SingleShotConnection);
    // As the remote window's button of the slot.
    try {
        m_remote->useSlot(slot);
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
        reply({true, QCoreApplication::translate("InstanceCommands", "Auto mode captures into %1")
                         .arg(where)});
    else if (!capturing)
        reply({false, QCoreApplication::translate(
                          "InstanceCommands", "No text in the Clipboard: nothing captured into %1")
                          .arg(where)});
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
        return {false, QCoreApplication::translate("InstanceCommands",
                                                   "Auto mode can be on, off or toggle, not \"%1\"")
                           .arg(how)};
    // As the remote window's toggle, whose slot buttons follow.
    if (on != collector.autoMode())
        collector.setAutoMode(on, Collector::Source::RemoteToggle);
    return {true, on ? QCoreApplication::translate("InstanceCommands", "Auto mode is on")
                     : QCoreApplication::translate("InstanceCommands", "Auto mode is off")};
}

InstanceCommands::Result InstanceCommands::quit()
{
    // As Exit: the settings are saved, and each slot with unsaved changes
    // is asked about. While another window holds the program modally
    // (another question, the preferences) nobody can answer one more: the
    // unsaved text is set aside as when the session ends.
    if (QApplication::activeModalWidget()) {
        QStringList kept;
        for (SlotNumber slot : SlotNumber::all())
            if (m_window->collector().hasUnsavedText(slot))
                kept << QString::number(slot.number());
        m_program->endSession();
        if (kept.isEmpty())
            return {true, QCoreApplication::translate("InstanceCommands", "Clipstow has ended")};
        return {true,
                QCoreApplication::translate(
                    "InstanceCommands", "Clipstow has ended; the unsaved text of slot %1 was kept "
                                        "in a file next to the slot's file")
                    .arg(kept.join(QStringLiteral(", ")))};
    }
    if (!m_window->close())
        return {false,
                QCoreApplication::translate("InstanceCommands",
                                            "Clipstow goes on running: ending it was cancelled")};
    return {true, QCoreApplication::translate("InstanceCommands", "Clipstow has ended")};
}

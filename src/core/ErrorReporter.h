#pragma once

#include <QHash>
#include <QString>
#include <exception>
#include <functional>

// Shows failures to the user. Start-up makes one and hands it to whoever
// reports; the user interface gives it the error box as its presenter.
// Without a presenter (before the box is installed, in programs without
// windows, and once the session has asked the program to end, when nobody
// can answer a box) the text goes to standard error.
//
// A handler's failure travels as an exception up to the point where Qt
// entered the program's code (a command, a clipboard change, a tray click,
// an event handler); there reportFailures catches it, shows it and the
// program goes on. Nothing is thrown through Qt's signals or event loop.
class ErrorReporter final
{
public:
    using Presenter = std::function<void(const QString& text)>;
    using RepeatListener = std::function<void(const QString& text, int repeats)>;

    ErrorReporter() = default;
    ErrorReporter(const ErrorReporter&) = delete;
    ErrorReporter& operator=(const ErrorReporter&) = delete;

    // The text the box shows: the message with a full stop appended when its
    // last character has a code above that of ".".
    static QString displayText(const QString& message);
    // The whole text of a box: the display text of the message and, when
    // there is one, the detail (which file, the system's reason) on a second
    // line.
    static QString boxText(const QString& message, const QString& detail = QString());
    // The status bar's words for a repeated failure.
    static QString repeatNotice(const QString& text, int repeats);

    // What shows a text to the user; an empty function sends texts to
    // standard error.
    void setPresenter(Presenter presenter);
    // Told when a failure repeats while its box is open: the box's text and
    // how many times it came again since the box opened. The main window
    // counts them in its status bar.
    void setRepeatListener(RepeatListener listener);

    // Shows the text. While the presenter shows a box with the same text, no
    // second one opens: the failure is counted and the repeat listener told
    // instead.
    void show(const QString& message, const QString& detail = QString());
    // Shows a failure: an AppError's message, or the description of any
    // other exception.
    void showFailure(const std::exception& failure);

    // The one way from Qt into the program's code: every slot, connected
    // lambda and event handler that can fail runs its body through here. A
    // failure the body raises is shown and the program goes on; false then.
    template <typename Body> bool reportFailures(Body&& body) noexcept
    {
        try {
            body();
            return true;
        } catch (const std::exception& failure) {
            showFailure(failure);
        } catch (...) {
            show(QStringLiteral("An unknown failure ended the operation"));
        }
        return false;
    }

private:
    Presenter m_presenter;
    RepeatListener m_repeatListener;
    // The texts of the boxes open now, each with how often its failure came
    // again while the box was open. A failure in auto mode repeats with
    // every copy; one box per text is enough.
    QHash<QString, int> m_openBoxes;
};

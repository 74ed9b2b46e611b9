#pragma once

#include <QMetaObject>
#include <QObject>
#include <functional>

// Tells the program that the contents of the system clipboard have changed.
//
// The monitor follows QClipboard's change notification for the clipboard
// proper (not the X11 primary selection) and raises OnChange once for each
// change, on the user-interface thread, inside the delivery of that
// notification. Changes made by this process (an editor's copy, clearing
// the clipboard) are reported like any other.
//
// Holding notifications: OnChange is a handler, not a signal, and a change
// that arrives while no handler is set is dropped for good (it is not
// replayed later). The constructor starts listening before its caller can
// set a handler, so text already on the clipboard when the program starts
// causes nothing. A caller that must not see changes before some point (for
// example before start-up has read the slot files) sets OnChange only at
// that point; everything before is ignored.
//
// Not reported:
// - contents marked secret by their owner (see ClipboardSecrets), so that a
//   password copied from a password manager is never collected;
// - an "emptied" notification while the clipboard was already empty (the
//   X11 clipboard reports clearing it twice).
//
// A failure (AppError or any std::exception) raised by the handler is shown
// in the common error box (ErrorReporter) and the monitor carries on.
class TClipboardMonitor : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)

public:
    using ChangeHandler = std::function<void(TClipboardMonitor* sender)>;

    // Starts listening (Enabled becomes true) before it returns.
    explicit TClipboardMonitor(QObject* owner = nullptr);
    // Unsets OnChange and stops listening.
    ~TClipboardMonitor() override;

    TClipboardMonitor(const TClipboardMonitor&) = delete;
    TClipboardMonitor& operator=(const TClipboardMonitor&) = delete;

    // True while the monitor listens for changes. Setting the current value
    // does nothing; false stops listening, true starts again.
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool value);

    const ChangeHandler& OnChange() const { return m_onChange; }
    void setOnChange(ChangeHandler handler) { m_onChange = std::move(handler); }

protected:
    // The change step: raises OnChange when it is set. A derived class may
    // replace it; failures it raises are handled like the handler's.
    virtual void Change();

private:
    void ClipboardChanged();

    bool m_enabled = false;
    bool m_lastSeenEmpty = false;
    ChangeHandler m_onChange;
    QMetaObject::Connection m_connection;
};

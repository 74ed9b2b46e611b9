#pragma once

#include <QMetaObject>
#include <QObject>
#include <functional>

// Tells the program that the contents of the system clipboard have changed.
//
// The monitor follows QClipboard's change notification for the clipboard
// proper (not the X11 primary selection) and calls its change handler once for each
// change, on the user-interface thread, inside the delivery of that
// notification. Changes made by this process (an editor's copy, clearing
// the clipboard) are reported like any other.
//
// Holding notifications: The change handler is a handler, not a signal, and a change
// that arrives while no handler is set is dropped for good (it is not
// replayed later). The constructor starts listening before its caller can
// set a handler, so text already on the clipboard when the program starts
// causes nothing. A caller that must not see changes before some point (for
// example before start-up has read the slot files) sets the handler only at
// that point; everything before is ignored.
//
// Not reported:
// - contents marked secret by their owner (see ClipboardSecrets), so that a
//   password copied from a password manager is never collected;
// - an "emptied" notification while the clipboard was already empty (the
//   X11 clipboard reports clearing it twice).
//
// The handler must not raise: it is called from Qt's clipboard notification.
class ClipboardMonitor : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled)

public:
    using ChangeHandler = std::function<void(ClipboardMonitor* sender)>;

    // Starts listening (isEnabled() becomes true) before it returns.
    explicit ClipboardMonitor(QObject* owner = nullptr);
    // Unsets the handler and stops listening.
    ~ClipboardMonitor() override;

    ClipboardMonitor(const ClipboardMonitor&) = delete;
    ClipboardMonitor& operator=(const ClipboardMonitor&) = delete;

    // True while the monitor listens for changes. Setting the current value
    // does nothing; false stops listening, true starts again.
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool value);

    const ChangeHandler& changeHandler() const { return m_onChange; }
    void setChangeHandler(ChangeHandler handler) { m_onChange = std::move(handler); }

protected:
    // The change step: calls the change handler when it is set. A derived class may
    // replace it; it must not raise either.
    virtual void change();

private:
    void onClipboardChanged();

    bool m_enabled = false;
    bool m_lastSeenEmpty = false;
    ChangeHandler m_onChange;
    QMetaObject::Connection m_connection;
};

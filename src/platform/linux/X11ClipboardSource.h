#pragma once

#include "platform/ClipboardSource.h"

#include <memory>

class X11SelectionReader;

// The X11 clipboard, read by an X11SelectionReader on a thread of its own;
// its answers reach this object's thread through its event queue.
class X11ClipboardSource final : public ClipboardSource
{
    Q_OBJECT

public:
    // Null, with the reason in *error, when the display cannot be opened
    // or lacks what is needed.
    static std::unique_ptr<X11ClipboardSource> open(const QByteArray& display, QString* error);
    ~X11ClipboardSource() override;

    QString name() const override { return QStringLiteral("X11"); }
    void setReadAhead(ReadAhead plan, int timeoutMs) override;
    void fetch(OfferId offer, const QString& format, int timeoutMs) override;
    void setSizeLimit(qsizetype bytes) override;

private:
    X11ClipboardSource();

    std::unique_ptr<X11SelectionReader> m_reader;
};

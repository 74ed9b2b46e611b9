#pragma once

#include "platform/ClipboardSource.h"

// The clipboard as QClipboard shows it, for platforms without a back end of
// their own (offscreen, and any platform other than X11 and Wayland's
// data-control). QClipboard reads its owner's data while the caller waits,
// so this source is only as patient as the platform's clipboard: on the
// offscreen platform the data is this process's own and comes at once.
//
// Each change QClipboard reports is an offer, announced from inside that
// report with the data read ahead; the offer found at start is announced
// once the event loop runs.
class QtClipboardSource final : public ClipboardSource
{
    Q_OBJECT

public:
    explicit QtClipboardSource(QObject* parent = nullptr);

    QString name() const override { return QStringLiteral("Qt"); }
    void setReadAhead(ReadAhead plan, int timeoutMs) override;
    void fetch(OfferId offer, const QString& format, int timeoutMs) override;
    void setSizeLimit(qsizetype bytes) override { m_sizeLimit = bytes; }

private:
    void announce(bool atStart);

    OfferId m_lastId = 0;
    ReadAhead m_plan;
    // Qt reads the whole of a format before it is seen here: the limit
    // keeps the sources alike, not the memory.
    qsizetype m_sizeLimit = MaxTransferBytes;
};

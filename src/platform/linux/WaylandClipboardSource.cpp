// The Wayland clipboard on a thread of its own.
//
// The compositor serves only its newest selection: once the next copy has
// replaced it, an offer can no longer be read, and an owner such as wl-copy
// ends. So the client must ask the moment a copy appears, whatever the
// user-interface thread is busy with (a capture, a dialog); it runs on a
// thread with an event loop of its own, and its signals reach the source's
// thread in order through that thread's event queue.
#include "platform/WaylandClipboard.h"
#include "platform/linux/DataControlClient.h"

#include <QCoreApplication>
#include <QThread>

namespace {

class WaylandClipboardSource final : public ClipboardSource
{
public:
    WaylandClipboardSource()
    {
        m_dispatcher.moveToThread(&m_thread);
        m_thread.setObjectName(QStringLiteral("Wayland clipboard"));
        m_thread.start();
    }

    ~WaylandClipboardSource() override
    {
        // The client goes on its own thread; answers it has queued for this
        // one go with this object.
        if (m_client)
            QMetaObject::invokeMethod(
                m_client.get(), [this] { m_client.reset(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    WaylandClipboard::Opening open(int timeoutMs)
    {
        WaylandClipboard::Opening opening;
        // The client announces its first offer once its thread's event
        // loop runs again, so the connections come first.
        QMetaObject::invokeMethod(
            &m_dispatcher,
            [this, timeoutMs, &opening] {
                opening = DataControlClient::open(timeoutMs);
                m_client.reset(static_cast<DataControlClient*>(opening.source.release()));
                if (!m_client)
                    return;
                connect(m_client.get(), &ClipboardSource::offered, this, &ClipboardSource::offered);
                connect(m_client.get(), &ClipboardSource::received, this,
                        &ClipboardSource::received);
                connect(m_client.get(), &ClipboardSource::failed, this, &ClipboardSource::failed);
                connect(m_client.get(), &ClipboardSource::lost, this, &ClipboardSource::lost);
            },
            Qt::BlockingQueuedConnection);
        return opening;
    }

    QString name() const override { return QStringLiteral("Wayland data-control"); }

    void setReadAhead(ReadAhead plan, int timeoutMs) override
    {
        QMetaObject::invokeMethod(m_client.get(), [client = m_client.get(), plan, timeoutMs] {
            client->setReadAhead(plan, timeoutMs);
        });
    }

    void fetch(OfferId offer, const QString& format, int timeoutMs) override
    {
        QMetaObject::invokeMethod(m_client.get(),
                                  [client = m_client.get(), offer, format, timeoutMs] {
                                      client->fetch(offer, format, timeoutMs);
                                  });
    }

    void setSizeLimit(qsizetype bytes) override
    {
        QMetaObject::invokeMethod(
            m_client.get(), [client = m_client.get(), bytes] { client->setSizeLimit(bytes); });
    }

private:
    QThread m_thread;
    // Runs what must happen on the thread before the client exists there.
    QObject m_dispatcher;
    std::unique_ptr<DataControlClient> m_client;
};

} // namespace

namespace WaylandClipboard {

Opening open(int timeoutMs)
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {
            Status::NoWayland, nullptr,
            QCoreApplication::translate("WaylandClipboardSource", "WAYLAND_DISPLAY is not set")};
    auto source = std::make_unique<WaylandClipboardSource>();
    Opening opening = source->open(timeoutMs);
    if (opening.status == Status::Opened)
        opening.source = std::move(source);
    return opening;
}

} // namespace WaylandClipboard

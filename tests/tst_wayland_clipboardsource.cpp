// The Wayland data-control clipboard source against a real compositor (a
// private headless sway): wl-copy and a helper owner set the clipboard while
// this process has no window at all.
#include "platform/WaylandClipboard.h"
#include "support/PrivateSway.h"

#include <QProcess>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using Failure = ClipboardSource::Failure;
using TestSupport::PrivateSway;

namespace {

const QString Utf8Text = QStringLiteral("text/plain;charset=utf-8");

// What became of one fetch.
struct Outcome
{
    bool received = false;
    QByteArray data;
    Failure why = Failure::Broken;
};

Outcome fetchAndWait(ClipboardSource& source, ClipboardSource::OfferId offer, const QString& format,
                     int timeoutMs)
{
    QSignalSpy received(&source, &ClipboardSource::received);
    QSignalSpy failed(&source, &ClipboardSource::failed);
    source.fetch(offer, format, timeoutMs);
    [&] { QTRY_VERIFY_WITH_TIMEOUT(received.size() + failed.size() == 1, timeoutMs + 10000); }();
    if (!received.isEmpty())
        return {true, received.first().at(2).toByteArray(), {}};
    if (failed.isEmpty())
        return {};
    return {false, {}, failed.first().at(2).value<Failure>()};
}

} // namespace

class TestWaylandClipboardSource : public QObject
{
    Q_OBJECT

private:
    // Starts a helper owner; it prints "ready" once it has the clipboard.
    void startOwner(const QStringList& arguments)
    {
        m_owner = std::make_unique<QProcess>();
        m_owner->setProcessEnvironment(
            m_sway.environment(QProcessEnvironment::systemEnvironment()));
        m_owner->start(QStringLiteral(WAYLAND_OWNER), arguments);
        QVERIFY(m_owner->waitForReadyRead(10000));
        QCOMPARE(m_owner->readAll().trimmed(), QByteArray("ready"));
    }
    // Waits for the offer that the last change of the clipboard made.
    ClipboardSource::Offer waitForOffer(QSignalSpy& offered, qsizetype count = 1)
    {
        [&] { QTRY_COMPARE(offered.size(), count); }();
        return offered.size() >= count ? offered.at(count - 1).at(0).value<ClipboardSource::Offer>()
                                       : ClipboardSource::Offer{};
    }

    PrivateSway m_sway;
    std::unique_ptr<ClipboardSource> m_source;
    std::unique_ptr<QProcess> m_owner;

private Q_SLOTS:
    void initTestCase()
    {
        const QString problem = m_sway.start();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(m_sway.copy("on the clipboard before"));
        m_sway.enter();
        WaylandClipboard::Opening opening = WaylandClipboard::open();
        QCOMPARE(opening.status, WaylandClipboard::Status::Opened);
        QCOMPARE(opening.detail, QStringLiteral("zwlr_data_control_manager_v1"));
        m_source = std::move(opening.source);
    }

    // A helper owner is replaced, so that it ends by itself rather than
    // empty the clipboard when it is killed during the next test.
    void cleanup()
    {
        if (m_owner && !m_sway.socket().isEmpty()) {
            QSignalSpy offered(m_source.get(), &ClipboardSource::offered);
            QVERIFY(m_sway.copy("between tests"));
            waitForOffer(offered);
        }
        // It also ends when the compositor has gone.
        if (m_owner && m_owner->state() != QProcess::NotRunning)
            QVERIFY(m_owner->waitForFinished(10000));
        m_owner.reset();
    }

    // What was on the clipboard at the start is the current offer, told to
    // nobody; every later change is an offer with the next number, in order:
    // a copy, an emptied clipboard (no formats). The primary selection is
    // not watched.
    void changesAreOffersInOrder()
    {
        const ClipboardSource::Offer first = m_source->current();
        QVERIFY(first.formats.contains(Utf8Text));
        QCOMPARE(fetchAndWait(*m_source, first.id, Utf8Text, 5000).data,
                 QByteArray("on the clipboard before"));

        QSignalSpy offered(m_source.get(), &ClipboardSource::offered);
        QVERIFY(m_sway.copy("primary only", {QStringLiteral("--primary")}));
        QVERIFY(m_sway.copy("one"));
        QVERIFY(m_sway.copy({}, {QStringLiteral("--clear")}));
        QVERIFY(m_sway.copy("three"));
        waitForOffer(offered, 3);
        QList<ClipboardSource::OfferId> ids;
        for (const QList<QVariant>& signal : offered)
            ids.append(signal.at(0).value<ClipboardSource::Offer>().id);
        QCOMPARE(ids, (QList<ClipboardSource::OfferId>{first.id + 1, first.id + 2, first.id + 3}));
        QVERIFY(offered.at(1).at(0).value<ClipboardSource::Offer>().formats.isEmpty());
        QCOMPARE(m_source->current().id, first.id + 3);
        QCOMPARE(fetchAndWait(*m_source, first.id + 3, Utf8Text, 5000).data, QByteArray("three"));
        // An offer already replaced, and a format the owner does not list.
        QCOMPARE(fetchAndWait(*m_source, first.id + 1, Utf8Text, 5000).why, Failure::Superseded);
        QCOMPARE(fetchAndWait(*m_source, first.id + 3, QStringLiteral("image/png"), 5000).why,
                 Failure::Refused);
    }

    // 50 MB arrive whole, through a pipe read in pieces.
    void largeTextArrivesWhole()
    {
        QByteArray text(50 * 1000 * 1000, 'x');
        for (qsizetype i = 0; i < text.size(); i += 997)
            text[i] = char('a' + i % 26);
        QSignalSpy offered(m_source.get(), &ClipboardSource::offered);
        QVERIFY(m_sway.copy(text));
        const ClipboardSource::Offer offer = waitForOffer(offered);
        const Outcome outcome = fetchAndWait(*m_source, offer.id, Utf8Text, 20000);
        QVERIFY(outcome.received);
        QCOMPARE(outcome.data.size(), text.size());
        QVERIFY(outcome.data == text);
    }

    // A password manager's hint is one of the offer's formats, read like any.
    void secretHintIsListed()
    {
        QSignalSpy offered(m_source.get(), &ClipboardSource::offered);
        startOwner({QStringLiteral("hunter2"), QStringLiteral("x-kde-passwordManagerHint=secret")});
        const ClipboardSource::Offer offer = waitForOffer(offered);
        QVERIFY(offer.formats.contains(QStringLiteral("x-kde-passwordManagerHint")));
        QCOMPARE(
            fetchAndWait(*m_source, offer.id, QStringLiteral("x-kde-passwordManagerHint"), 5000)
                .data,
            QByteArray("secret"));
    }

    // An owner that never sends costs its time limit, or less when the
    // clipboard changes first: the next copy is read at once.
    void silentOwnerHoldsNothingUp()
    {
        QSignalSpy offered(m_source.get(), &ClipboardSource::offered);
        startOwner({QStringLiteral("--silent"), QStringLiteral("never sent")});
        const ClipboardSource::Offer silent = waitForOffer(offered);
        QCOMPARE(fetchAndWait(*m_source, silent.id, Utf8Text, 300).why, Failure::TimedOut);

        QSignalSpy failed(m_source.get(), &ClipboardSource::failed);
        m_source->fetch(silent.id, Utf8Text, 60000);
        QVERIFY(m_sway.copy("next"));
        const ClipboardSource::Offer next = waitForOffer(offered, 2);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.first().at(0).value<ClipboardSource::OfferId>(), silent.id);
        QCOMPARE(failed.first().at(2).value<Failure>(), Failure::Superseded);
        QCOMPARE(fetchAndWait(*m_source, next.id, Utf8Text, 5000).data, QByteArray("next"));
    }

    // The compositor ends: the transfer under way breaks, the source says
    // it is lost, and later fetches fail.
    void compositorGoingAwayIsLost()
    {
        QSignalSpy offered(m_source.get(), &ClipboardSource::offered);
        startOwner({QStringLiteral("--silent"), QStringLiteral("never sent")});
        const ClipboardSource::Offer silent = waitForOffer(offered);
        QSignalSpy failed(m_source.get(), &ClipboardSource::failed);
        QSignalSpy lost(m_source.get(), &ClipboardSource::lost);
        m_source->fetch(silent.id, Utf8Text, 60000);
        m_sway.stop();
        QTRY_COMPARE(lost.size(), 1);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.first().at(2).value<Failure>(), Failure::Broken);
        QCOMPARE(fetchAndWait(*m_source, silent.id, Utf8Text, 1000).why, Failure::Broken);
    }

    // Where there is no compositor to watch, opening says why.
    void openingWithoutCompositor_data()
    {
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<WaylandClipboard::Status>("status");
        QTest::newRow("not a Wayland session")
            << QByteArray() << WaylandClipboard::Status::NoWayland;
        QTest::newRow("no such compositor")
            << QByteArray("/nonexistent/wayland-9") << WaylandClipboard::Status::NoConnection;
    }
    void openingWithoutCompositor()
    {
        QFETCH(QByteArray, display);
        QFETCH(WaylandClipboard::Status, status);
        qputenv("WAYLAND_DISPLAY", display);
        const WaylandClipboard::Opening opening = WaylandClipboard::open();
        QCOMPARE(opening.status, status);
        QVERIFY(!opening.source);
        QVERIFY(!opening.detail.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestWaylandClipboardSource)
#include "tst_wayland_clipboardsource.moc"

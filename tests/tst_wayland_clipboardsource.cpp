// The Wayland data-control clipboard source against a real compositor (a
// private headless sway): wl-copy and a helper owner set the clipboard while
// this process has no window at all.
#include "platform/WaylandClipboard.h"
#include "support/PrivateSway.h"
#include "support/TestMain.h"

#include <QProcess>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using Failure = ClipboardSource::Failure;
using Offer = ClipboardSource::Offer;
using TestSupport::PrivateSway;

namespace {

const QString Utf8Text = QStringLiteral("text/plain;charset=utf-8");
const QString SecretHint = QStringLiteral("x-kde-passwordManagerHint");

// Reads a password manager's hint when there is one, then the text.
QString hintThenText(const QStringList& formats, const QHash<QString, QByteArray>& read)
{
    if (formats.contains(SecretHint) && !read.contains(SecretHint))
        return SecretHint;
    return read.contains(Utf8Text) ? QString() : Utf8Text;
}

// What became of one fetch: the data, or why not.
struct Outcome
{
    QByteArray data;
    Failure why = Failure::None;
};

Outcome fetchAndWait(ClipboardSource& source, ClipboardSource::OfferId offer, const QString& format)
{
    QSignalSpy received(&source, &ClipboardSource::received);
    QSignalSpy failed(&source, &ClipboardSource::failed);
    source.fetch(offer, format, 5000);
    [&] { QTRY_VERIFY_WITH_TIMEOUT(received.size() + failed.size() == 1, 15000); }();
    if (!received.isEmpty())
        return {received.first().at(2).toByteArray()};
    return {{}, failed.isEmpty() ? Failure::Broken : failed.first().at(2).value<Failure>()};
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
    // The offers announced so far, once there are count of them.
    QList<Offer> offers(QSignalSpy& offered, qsizetype count)
    {
        [&] { QTRY_COMPARE_WITH_TIMEOUT(offered.size(), count, 15000); }();
        QList<Offer> list;
        for (const QList<QVariant>& signal : offered)
            list.append(signal.at(0).value<Offer>());
        return list;
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
            offers(offered, 1);
        }
        if (m_owner && m_owner->state() != QProcess::NotRunning) {
            m_owner->kill();
            m_owner->waitForFinished();
        }
        m_owner.reset();
    }

    // What was on the clipboard at the start comes first, marked so; every
    // later change is an offer with the next number, in order, with what
    // the plan reads ahead: a copy, an emptied clipboard (no formats). The
    // primary selection is not watched. Only the newest offer can be read.
    void changesAreOffersInOrder()
    {
        QSignalSpy offered(m_source.get(), &ClipboardSource::offered);
        const Offer first = offers(offered, 1).first();
        QVERIFY(first.atStart);
        QVERIFY(first.formats.contains(Utf8Text));
        QVERIFY(first.data.isEmpty());

        m_source->setReadAhead(hintThenText, 5000);
        QVERIFY(m_sway.copy("primary only", {QStringLiteral("--primary")}));
        QVERIFY(m_sway.copy("one"));
        QVERIFY(m_sway.copy({}, {QStringLiteral("--clear")}));
        QVERIFY(m_sway.copy("three"));
        const QList<Offer> list = offers(offered, 4);
        QCOMPARE(list.size(), 4);
        for (int i = 1; i < 4; ++i) {
            QCOMPARE(list[i].id, first.id + i);
            QVERIFY(!list[i].atStart);
            QCOMPARE(list[i].failure, Failure::None);
        }
        QCOMPARE(list[1].data.value(Utf8Text), QByteArray("one"));
        QVERIFY(list[2].formats.isEmpty() && list[2].data.isEmpty());
        QCOMPARE(list[3].data.value(Utf8Text), QByteArray("three"));

        QCOMPARE(fetchAndWait(*m_source, list[3].id, QStringLiteral("TEXT")).data, "three");
        QCOMPARE(fetchAndWait(*m_source, list[1].id, Utf8Text).why, Failure::Superseded);
        QCOMPARE(fetchAndWait(*m_source, list[3].id, QStringLiteral("image/png")).why,
                 Failure::Refused);
    }

    // A burst of copies 20 ms apart, each read as it appears: wl-copy ends
    // as soon as the next copy replaces it.
    void burstOfCopies()
    {
        m_source->setReadAhead(hintThenText, 5000);
        QSignalSpy offered(m_source.get(), &ClipboardSource::offered);
        const QStringList expected = m_sway.copyBurst(20, QStringLiteral("copy "));
        QCOMPARE(expected.size(), 20);
        // Each copy once, with its text (wl-copy processes started 20 ms
        // apart may take the clipboard in another order).
        QStringList texts;
        const auto copies = [&] {
            texts.clear();
            for (const QList<QVariant>& signal : offered) {
                const Offer offer = signal.at(0).value<Offer>();
                if (!offer.atStart)
                    texts.append(QString::fromUtf8(offer.data.value(Utf8Text)));
            }
            return texts.size();
        };
        QTRY_COMPARE_WITH_TIMEOUT(copies(), 20, 15000);
        texts.sort();
        QCOMPARE(texts, expected);
    }

    // 50 MB arrive whole, through a pipe read in pieces; a password
    // manager's hint is read before the text.
    void largeTextAndSecretHint()
    {
        QByteArray text(50 * 1000 * 1000, 'x');
        for (qsizetype i = 0; i < text.size(); i += 997)
            text[i] = char('a' + i % 26);
        QSignalSpy offered(m_source.get(), &ClipboardSource::offered);
        QVERIFY(m_sway.copy(text));
        const Offer large = offers(offered, 1).first();
        QCOMPARE(large.data.value(Utf8Text).size(), text.size());
        QVERIFY(large.data.value(Utf8Text) == text);

        startOwner({QStringLiteral("hunter2"), SecretHint + QStringLiteral("=secret")});
        const Offer secret = offers(offered, 2).last();
        QCOMPARE(secret.data.value(SecretHint), QByteArray("secret"));
        QCOMPARE(secret.data.value(Utf8Text), QByteArray("hunter2"));
    }

    // An owner that never sends costs its time limit, and the copies after
    // it are read at once all the same: the next one's owner has already
    // gone when its offer is announced.
    void silentOwnerHoldsNothingUp()
    {
        QSignalSpy offered(m_source.get(), &ClipboardSource::offered);
        m_source->setReadAhead(hintThenText, 1500);
        startOwner({QStringLiteral("--silent"), QStringLiteral("never sent")});
        QVERIFY(m_sway.copy("next"));
        QVERIFY(m_sway.copy("after"));
        const QList<Offer> list = offers(offered, 3);
        QCOMPARE(list.size(), 3);
        QCOMPARE(list[0].failure, Failure::TimedOut);
        QCOMPARE(list[1].data.value(Utf8Text), QByteArray("next"));
        QCOMPARE(list[2].data.value(Utf8Text), QByteArray("after"));
        m_source->setReadAhead(hintThenText, 5000);
    }

    // The compositor ends: the offer being read is announced as broken,
    // the source says it is lost, and later fetches fail.
    void compositorGoingAwayIsLost()
    {
        QSignalSpy offered(m_source.get(), &ClipboardSource::offered);
        QSignalSpy lost(m_source.get(), &ClipboardSource::lost);
        startOwner({QStringLiteral("--silent"), QStringLiteral("never sent")});
        m_sway.stop();
        QTRY_COMPARE(lost.size(), 1);
        const QList<Offer> list = offers(offered, 1);
        QCOMPARE(list.first().failure, Failure::Broken);
        QCOMPARE(fetchAndWait(*m_source, list.first().id, Utf8Text).why, Failure::Broken);
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

CLIPSTOW_TEST_GUILESS_MAIN(TestWaylandClipboardSource)
#include "tst_wayland_clipboardsource.moc"

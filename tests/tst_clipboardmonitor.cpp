// The clipboard monitor's rules, on a source whose offers and answers the
// test scripts: which changes reach the capture and with what text, in what
// order, reads the user asks for, stopping, replacing the source. The real
// sources are in tst_x11_clipboardmonitor.
#include "core/ClipboardMonitor.h"
#include "core/Collector.h"
#include "support/Files.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QPointer>
#include <QtTest>

namespace {

using Failure = ClipboardSource::Failure;
using Offer = ClipboardSource::Offer;

// Offers and answers come when the test says; fetches are recorded.
class ScriptedSource final : public ClipboardSource
{
public:
    QString name() const override { return QStringLiteral("scripted"); }
    void setReadAhead(ReadAhead plan, int) override { m_plan = std::move(plan); }
    void fetch(OfferId offer, const QString& format, int) override
    {
        fetches << qMakePair(offer, format);
    }
    void setSizeLimit(qsizetype) override {}

    // Announces an offer, with what the plan reads of `content`.
    OfferId offer(const QHash<QString, QByteArray>& content, Failure failure = Failure::None,
                  bool atStart = false)
    {
        Offer offer;
        offer.id = ++m_lastId;
        offer.formats = content.keys();
        offer.failure = failure;
        offer.atStart = atStart;
        while (m_plan && failure == Failure::None) {
            const QString format = m_plan(offer.formats, offer.data);
            if (format.isEmpty() || offer.data.contains(format))
                break;
            offer.data.insert(format, content.value(format));
        }
        Q_EMIT offered(offer);
        return offer.id;
    }
    using ClipboardSource::failed;
    using ClipboardSource::received;

    QList<QPair<OfferId, QString>> fetches;

private:
    ReadAhead m_plan;
    OfferId m_lastId = 0;
};

const QString Utf8 = QStringLiteral("UTF8_STRING");
const QString Hint = QStringLiteral("x-kde-passwordManagerHint");

QHash<QString, QByteArray> plain(const QByteArray& bytes)
{
    return {{Utf8, bytes}};
}

} // namespace

class TestClipboardMonitor final : public QObject
{
    Q_OBJECT

    ScriptedSource* m_source = nullptr;
    std::unique_ptr<ClipboardMonitor> m_monitor;
    QStringList m_captured;
    QStringList m_notDelivered;

private Q_SLOTS:
    void init()
    {
        auto source = std::make_unique<ScriptedSource>();
        m_source = source.get();
        m_monitor = std::make_unique<ClipboardMonitor>(std::move(source));
        m_captured.clear();
        m_notDelivered.clear();
        m_monitor->setCaptureHandler([this](const QString& text) { m_captured << text; });
        connect(m_monitor.get(), &ClipboardMonitor::notDelivered, this,
                [this](const QString& text) { m_notDelivered << text; });
    }
    void cleanup() { m_monitor.reset(); }

    // Each change reaches the capture once, in order, with its own text or
    // none; only what was on the clipboard at start causes nothing.
    void everyChangeOnceWithItsOwnText()
    {
        m_monitor->setReadingText(true);
        m_source->offer(plain("at start"), Failure::None, true);
        m_source->offer(plain("one"));
        m_source->offer(plain("one")); // the same text copied again
        m_source->offer({});           // emptied
        m_source->offer({{QStringLiteral("image/png"), "PNG"}});
        m_source->offer({{Utf8, "pw"}, {Hint, "secret"}});
        m_source->offer({{Utf8, "shown"}, {Hint, "public"}});
        m_source->offer({{Utf8, "gone"}}, Failure::Superseded); // replaced before it was read
        m_source->offer({{Utf8, "late"}}, Failure::TimedOut);
        m_source->offer({{Utf8, "huge"}}, Failure::TooLarge);
        m_source->offer({{Utf8, "cut short"}}, Failure::Overtaken); // formats listed, text not read
        m_source->offer({{QStringLiteral("image/png"), "PNG"}}, Failure::Overtaken);
        m_source->offer({{QStringLiteral("STRING"), "caf\xe9"}});
        m_source->offer(plain(QByteArray("ends in NUL\0", 12)));
        QCOMPARE(m_captured, (QStringList{"one", "one", "", "", "", "shown", "", "", "", "", "",
                                          u"café"_qs, "ends in NUL"}));
        // Only the copies with text that could not be taken are said, each
        // with its reason.
        QCOMPARE(m_notDelivered.size(), 3);
        QVERIFY(m_notDelivered[0].contains(QLatin1String("did not deliver")));
        QVERIFY(m_notDelivered[1].contains(QLatin1String("larger than 1 GiB")));
        QVERIFY(m_notDelivered[2].contains(QLatin1String("next copy came")));
    }

    // The text of a secret copy is not even read; without auto mode no
    // text is, but every change still reaches the capture.
    void readAheadReadsWhatTheSettingsNeed()
    {
        QCOMPARE(ClipboardMonitor::nextToRead({Utf8, Hint}, {}, true), Hint);
        QCOMPARE(ClipboardMonitor::nextToRead({Utf8, Hint}, {{Hint, "secret"}}, true), QString());
        QCOMPARE(ClipboardMonitor::nextToRead({Utf8, Hint}, {{Hint, "no"}}, true), Utf8);
        QCOMPARE(ClipboardMonitor::nextToRead({Utf8, Hint}, {{Hint, "no"}}, false), QString());
        QCOMPARE(ClipboardMonitor::nextToRead({Utf8}, {{Utf8, "x"}}, true), QString());

        m_source->offer(plain("not read"));
        QCOMPARE(m_captured, QStringList{QString()});
        QVERIFY(m_monitor->hasCapturableText());
    }

    void textFormatByPreference_data()
    {
        QTest::addColumn<QStringList>("formats");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("utf-8 mime first")
            << QStringList{"STRING", "UTF8_STRING", "text/plain;charset=UTF-8"}
            << "text/plain;charset=UTF-8";
        QTest::newRow("X11 names") << QStringList{"TEXT", "STRING", "UTF8_STRING"} << "UTF8_STRING";
        QTest::newRow("latin-1 only") << QStringList{"STRING", "image/png"} << "STRING";
        QTest::newRow("no text") << QStringList{"image/png", "text/html"} << QString();
        QTest::newRow("atom names keep their case") << QStringList{"utf8_string"} << QString();
    }

    void textFormatByPreference()
    {
        QFETCH(QStringList, formats);
        QFETCH(QString, chosen);
        QCOMPARE(ClipboardMonitor::textFormat(formats), chosen);
    }

    // A change that comes while the capture runs (an error box lets events
    // run) waits for it, so the slot gets the copies in order.
    void changeDuringACaptureWaitsItsTurn()
    {
        m_monitor->setReadingText(true);
        m_monitor->setCaptureHandler([this](const QString& text) {
            if (m_captured.isEmpty())
                m_source->offer(plain("second"));
            m_captured << text;
        });
        m_source->offer(plain("first"));
        QCOMPARE(m_captured, (QStringList{"first", "second"}));
    }

    // Regression: a capture the user asked for read the clipboard on the
    // user-interface thread, which froze while the owner did not answer.
    // The text is asked for and comes later; a copy that replaced it in the
    // meantime is what is captured; an owner that does not deliver is said.
    void readTextNeverWaitsForTheOwner()
    {
        QList<QPair<ClipboardMonitor::Outcome, QString>> answers;
        const auto receiver = [&answers](ClipboardMonitor::Outcome outcome, const QString& text) {
            answers << qMakePair(outcome, text);
        };
        // Asked for before the source told the first copy: that one answers.
        m_monitor->readText(this, receiver);
        QVERIFY(m_source->fetches.isEmpty());
        const auto first = m_source->offer(plain("first"));
        QVERIFY(answers.isEmpty());
        QCOMPARE(m_source->fetches, (QList<QPair<quint64, QString>>{{first, Utf8}}));

        Q_EMIT m_source->failed(first, Utf8, Failure::Superseded);
        const auto second = m_source->offer(plain("second"));
        QCOMPARE(m_source->fetches.last(), qMakePair(second, Utf8));
        Q_EMIT m_source->received(second, Utf8, "second");
        QCOMPARE(answers, (QList<QPair<ClipboardMonitor::Outcome, QString>>{
                              {ClipboardMonitor::Outcome::Text, "second"}}));
        // Read once, the text is at hand for the next capture.
        m_monitor->readText(this, receiver);
        QCOMPARE(answers.size(), 2);

        const auto silent = m_source->offer(plain("never"));
        m_monitor->readText(this, receiver);
        Q_EMIT m_source->failed(silent, Utf8, Failure::TimedOut);
        QCOMPARE(answers.last().first, ClipboardMonitor::Outcome::NotDelivered);
        QCOMPARE(m_notDelivered.size(), 1);

        m_source->offer({{Utf8, "pw"}, {Hint, "secret"}});
        m_monitor->readText(this, receiver);
        QCOMPARE(answers.last().first, ClipboardMonitor::Outcome::Secret);
        QVERIFY(!m_monitor->hasCapturableText());

        // A receiver whose context is gone is not called.
        const auto last = m_source->offer(plain("last"));
        auto context = std::make_unique<QObject>();
        m_monitor->readText(context.get(), receiver);
        context.reset();
        Q_EMIT m_source->received(last, Utf8, "last");
        QCOMPARE(answers.size(), 4);
    }

    // A capture the user asks for ends once the owner has answered, and its
    // end says how: the command line's answer waits for it, so that an
    // owner that never delivers is not reported as a capture.
    void captureEndsWithWhatTheOwnerDid()
    {
        QTemporaryDir dir;
        TestSupport::ScopedRegistry registry;
        Collector collector(registry.settings(), registry.errors(), registry.saveSound());
        const QString file = dir.filePath(QStringLiteral("slot1.txt"));
        collector.setFileName(1, file);
        collector.loadSlots();
        collector.setClipboardMonitor(m_monitor.get());
        QSignalSpy ended(&collector, &Collector::captureEnded);
        const auto result = [&ended] {
            return ended.isEmpty()
                       ? std::nullopt
                       : std::optional(ended.takeFirst().at(0).value<Collector::CaptureResult>());
        };

        const auto delivered = m_source->offer(plain("first"));
        collector.captureInto(collector.activeSlot(), Collector::Trigger::RemoteSlotButton);
        QCOMPARE(result(), std::nullopt);
        Q_EMIT m_source->received(delivered, Utf8, "first");
        QCOMPARE(result(), Collector::CaptureResult::Stored);
        QVERIFY(TestSupport::fileBytes(file).endsWith("\r\nfirst\r\n\r\n\r\n"));

        const auto silent = m_source->offer(plain("never"));
        collector.captureInto(collector.activeSlot(), Collector::Trigger::RemoteSlotButton);
        Q_EMIT m_source->failed(silent, Utf8, Failure::TimedOut);
        QCOMPARE(result(), Collector::CaptureResult::NotDelivered);

        m_source->offer({{Utf8, "pw"}, {Hint, "secret"}});
        collector.captureInto(collector.activeSlot(), Collector::Trigger::RemoteSlotButton);
        QCOMPARE(result(), Collector::CaptureResult::NothingToStore);
        QCOMPARE(registry.soundOutput().played, 1);

        // A copy of auto mode after a quiet moment is written at once; the
        // copies that follow it closely wait for the events that came with
        // them and are written together, each once and in order; a capture
        // asked for after them goes after them.
        collector.setAutoMode(true, Collector::Source::Menu);
        collector.startWatchingClipboard();
        for (const QByteArray text : {"one", "", "two", "three"})
            m_source->offer(plain(text));
        QCOMPARE(result(), Collector::CaptureResult::Stored);
        QCOMPARE(result(), std::nullopt);
        collector.captureInto(collector.activeSlot(), Collector::Trigger::Tray);
        for (const auto expected :
             {Collector::CaptureResult::NothingToStore, Collector::CaptureResult::Stored,
              Collector::CaptureResult::Stored, Collector::CaptureResult::Stored})
            QCOMPARE(result(), expected);
        QCOMPARE(TestSupport::capturedTexts(file),
                 QStringList({QStringLiteral("first"), QStringLiteral("one"), QStringLiteral("two"),
                              QStringLiteral("three"), QStringLiteral("three")}));
        m_source->offer(plain("four"));
        QTRY_VERIFY(!ended.isEmpty());
        QCOMPARE(result(), Collector::CaptureResult::Stored);
        QCOMPARE(TestSupport::capturedTexts(file).value(5), QStringLiteral("four"));
    }

    // For an end requested by the system: nothing waits and nothing more is
    // reported; the source and its transfers are let go.
    void stopDropsEverythingAtOnce()
    {
        bool answered = false;
        const auto pending = m_source->offer(plain("pending"));
        m_monitor->readText(this, [&answered](auto, const QString&) { answered = true; });
        m_captured.clear();
        m_monitor->setCaptureHandler([this](const QString& text) {
            m_captured << text;
            m_monitor->stop();
        });
        QPointer<ClipboardSource> source = m_source;
        Q_EMIT m_source->offered({pending + 1, {Utf8}, {{Utf8, "a"}}});
        QTRY_VERIFY(source.isNull());
        QCOMPARE(m_captured, QStringList{"a"});
        QVERIFY(!answered);
        QVERIFY(m_monitor->isStopped());
        QVERIFY(!m_monitor->hasCapturableText());
    }

    // The source is replaced while running (another desktop protocol took
    // over): what the new one finds is the text at start, and a read still
    // waiting goes to its first copy.
    void replacedSourceStartsAfresh()
    {
        m_source->offer(plain("old source"));
        QString read;
        m_monitor->readText(this, [&read](auto, const QString& text) { read = text; });
        QVERIFY(read.isNull());
        m_monitor->setReadingText(true);
        auto replacement = std::make_unique<ScriptedSource>();
        ScriptedSource* next = replacement.get();
        m_monitor->setSource(std::move(replacement));
        m_source = next;
        m_source->offer(plain("new source"), Failure::None, true);
        QCOMPARE(read, QStringLiteral("new source"));
        m_source->offer(plain("copied"));
        // The first copy came while no text was read.
        QCOMPARE(m_captured, (QStringList{"", "copied"}));

        // The same clipboard watched again after a break: what it holds is
        // a copy made meanwhile when it differs from the newest text read,
        // read as ahead (secret marks first) and captured before the next.
        const auto resume = [this](const QHash<QString, QByteArray>& content) {
            auto resumed = std::make_unique<ScriptedSource>();
            m_source = resumed.get();
            m_monitor->setSource(std::move(resumed), ClipboardMonitor::SourceStart::Resumed);
            m_source->offer(content, Failure::None, true);
        };
        resume(plain("copied"));
        resume({{Utf8, "pw"}, {Hint, "secret"}});
        resume(plain("made meanwhile"));
        QCOMPARE(m_captured, (QStringList{"", "copied", "made meanwhile"}));
        // Not read ahead: its text is asked for, and the next copy waits.
        auto slow = std::make_unique<ScriptedSource>();
        m_source = slow.get();
        m_monitor->setSource(std::move(slow), ClipboardMonitor::SourceStart::Resumed);
        Q_EMIT m_source->offered({100, {Utf8}, {}, Failure::None, true});
        QCOMPARE(m_source->fetches, (QList<QPair<quint64, QString>>{{100, Utf8}}));
        m_source->offer(plain("second after the break"));
        QCOMPARE(m_captured.size(), 3);
        Q_EMIT m_source->received(100, Utf8, "first after the break");
        QCOMPARE(m_captured.mid(3),
                 (QStringList{"first after the break", "second after the break"}));
        // A source that starts afresh (a compositor that restarted) holds
        // the text at start.
        auto fresh = std::make_unique<ScriptedSource>();
        m_source = fresh.get();
        m_monitor->setSource(std::move(fresh));
        m_source->offer(plain("at start of a new one"), Failure::None, true);
        QCOMPARE(m_captured.size(), 5);
    }
};

CLIPSTOW_TEST_GUILESS_MAIN(TestClipboardMonitor)
#include "tst_clipboardmonitor.moc"

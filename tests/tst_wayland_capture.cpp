// Auto mode's captures on a Wayland compositor that offers data-control (a
// private headless sway), wired as at start-up: the chooser gives the
// monitor its source, and this process has no window at all, so no copy is
// made while one of its windows has the focus.
#include "core/ClipboardMonitor.h"
#include "core/ClipboardSourceChooser.h"
#include "core/Collector.h"
#include "support/Files.h"
#include "support/PrivateSway.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

using TestSupport::fileBytes;

namespace {

constexpr int CaptureTimeoutMs = 20000;
const QString SecretHint = QStringLiteral("x-kde-passwordManagerHint");

} // namespace

class TestWaylandCapture final : public QObject
{
    Q_OBJECT

    TestSupport::PrivateSway m_sway;
    QTemporaryDir m_dir;
    std::unique_ptr<TestSupport::ScopedRegistry> m_registry;
    std::unique_ptr<Collector> m_collector;
    ClipboardMonitor* m_monitor = nullptr;
    ClipboardSourceChooser* m_chooser = nullptr;
    std::vector<std::unique_ptr<QProcess>> m_owners;

    QString slotFile() const { return m_dir.filePath(QStringLiteral("slot1.txt")); }

    QStringList captured() const { return TestSupport::capturedTexts(slotFile()); }

    // A helper owner that offers text with more formats, or never sends.
    void startOwner(const QStringList& arguments)
    {
        QProcess& owner = *m_owners.emplace_back(std::make_unique<QProcess>());
        owner.setProcessEnvironment(m_sway.environment(QProcessEnvironment::systemEnvironment()));
        owner.start(QStringLiteral(WAYLAND_OWNER), arguments);
        QVERIFY(owner.waitForReadyRead(10000));
        QCOMPARE(owner.readAll().trimmed(), QByteArray("ready"));
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString problem = m_sway.start();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        m_sway.enter();
        QVERIFY(m_sway.copy("already there"));
        m_registry = std::make_unique<TestSupport::ScopedRegistry>();

        m_collector = std::make_unique<Collector>(m_registry->settings(), m_registry->errors(),
                                                  m_registry->saveSound());
        m_monitor = new ClipboardMonitor(nullptr, m_collector.get());
        m_chooser = new ClipboardSourceChooser(
            [this](std::unique_ptr<ClipboardSource> source, ClipboardMonitor::SourceStart start) {
                m_monitor->setSource(std::move(source), start);
            },
            &createClipboardSource, 300, m_monitor);
        QVERIFY(m_chooser->start(true).isEmpty());
        m_collector->setClipboardMonitor(m_monitor);
        m_collector->setFileName(1, slotFile());
        m_collector->setAutoMode(true, Collector::Source::Startup);
        m_collector->loadSlots();
        m_collector->startWatchingClipboard();
        QCOMPARE(m_monitor->source()->name(), QStringLiteral("Wayland data-control"));
        QTRY_VERIFY(m_monitor->current().id != 0);
    }

    void cleanupTestCase()
    {
        m_collector.reset();
        for (const auto& owner : m_owners) {
            owner->kill();
            owner->waitForFinished();
        }
    }

    // Every copy is captured once, in order, though no window of the
    // program is active: not the text there at start, not the primary
    // selection, not a secret, not a silent owner's (which holds up
    // nothing).
    void everyCopyOnce()
    {
        QVERIFY(m_sway.copy("primary only", {QStringLiteral("--primary")}));
        const QStringList expected = m_sway.copyBurst(20, QStringLiteral("copy "));
        QCOMPARE(expected.size(), 20);
        // wl-copy processes started 20 ms apart may take the clipboard in
        // another order; each copy is there once.
        QTRY_COMPARE_WITH_TIMEOUT(captured().size(), 20, CaptureTimeoutMs);
        QStringList texts = captured();
        texts.sort();
        QCOMPARE(texts, expected);
        // Copies written together chime once.
        const int chimes = m_registry->soundOutput().played;
        QVERIFY2(chimes >= 1 && chimes <= 20, qPrintable(QString::number(chimes)));

        startOwner({QStringLiteral("hunter2"), SecretHint + QStringLiteral("=secret")});
        startOwner({QStringLiteral("--silent"), QStringLiteral("never sent")});
        QVERIFY(m_sway.copy("after them"));
        QTRY_COMPARE_WITH_TIMEOUT(captured().size(), 21, CaptureTimeoutMs);
        QCOMPARE(captured().last(), QStringLiteral("after them"));
        QCOMPARE(m_registry->soundOutput().played, chimes + 1);
    }

    // The compositor goes: the platform's source takes over. It comes back:
    // its clipboard is watched again, the text it holds then is not a copy,
    // and the next copy is captured.
    void compositorComesBack()
    {
        const int before = captured().size();
        m_sway.stop();
        QTRY_VERIFY(!m_chooser->watchesCompositor());
        QVERIFY(m_monitor->source());
        // Copied before the program looks for the new compositor.
        QVERIFY(m_sway.start().isEmpty());
        QVERIFY(m_sway.copy("there on its return"));
        m_sway.enter();
        QTRY_VERIFY_WITH_TIMEOUT(m_chooser->watchesCompositor(), CaptureTimeoutMs);
        QTRY_VERIFY(m_monitor->current().id != 0);
        QVERIFY(m_sway.copy("back again"));
        QTRY_COMPARE_WITH_TIMEOUT(captured().size(), before + 1, CaptureTimeoutMs);
        QCOMPARE(captured().last(), QStringLiteral("back again"));
    }

    // 50 MB reach the slot file whole.
    void largeCopyWhole()
    {
        QByteArray text(50 * 1000 * 1000, 'x');
        for (qsizetype i = 0; i < text.size(); i += 997)
            text[i] = char('a' + i % 26);
        const qsizetype before = fileBytes(slotFile()).size();
        QVERIFY(m_sway.copy(text));
        QTRY_VERIFY_WITH_TIMEOUT(fileBytes(slotFile()).size() > before + text.size(),
                                 CaptureTimeoutMs);
        const QByteArray file = fileBytes(slotFile());
        QVERIFY(file.mid(file.size() - text.size() - 6, text.size()) == text);
        QVERIFY(file.endsWith("\r\n\r\n\r\n"));
    }
};

CLIPSTOW_TEST_MAIN(TestWaylandCapture)
#include "tst_wayland_capture.moc"

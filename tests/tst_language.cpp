// One story in the desktop's language, which CTest sets as a session does
// (LANGUAGE=de, or LANGUAGE=fr_FR:de for French): the translation is the
// one the environment asks for, the menus, a capture's status hint, an
// error and Qt's standard buttons come in it, and a slot file gets the
// same bytes as before the translation was installed.
#include "app/Startup.h"
#include "base/Translations.h"
#include "core/Collector.h"
#include "support/DesktopFixture.h"
#include "support/Files.h"
#include "support/TestMain.h"
#include "ui/MainWindow.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace {

struct Expected
{
    QStringList menus;
    QString readyHint;
    QString cannotOpen;
    QString saveButton;
};

Expected expectedFor(const QString& language)
{
    if (language == QLatin1String("de"))
        return {{"&Datei", "&Ansicht", "&Optionen", "&Hilfe"},
                "Bereit zum Übernehmen nach %1",
                "kann nicht geöffnet werden",
                "Speichern"};
    return {{"&Fichier", "&Affichage", "&Options", "Ai&de"},
            QString::fromUtf8("Prêt à capturer dans %1"),
            QString::fromUtf8("Impossible d’ouvrir le fichier"),
            "Enregistrer"};
}

} // namespace

class TestLanguage final : public QObject, private TestSupport::WindowsFixture
{
    Q_OBJECT

    QByteArray captureInto(int slot, const QString& file)
    {
        m_collector->setFileName(slot, m_desk->path(file));
        m_collector->setActiveSlot(slot);
        QGuiApplication::clipboard()->setText(QStringLiteral("Grüße, « ça »\nline 2"));
        if (!TestSupport::captureAndWait(*m_collector, Collector::Trigger::User))
            return {};
        return TestSupport::fileBytes(m_desk->path(file));
    }

private Q_SLOTS:
    void story()
    {
        const QString wanted = qEnvironmentVariable("LANGUAGE").left(2);
        QVERIFY2(wanted == QLatin1String("de") || wanted == QLatin1String("fr"),
                 "run with LANGUAGE=de or LANGUAGE=fr");
        beginDesk();
        m_desk->settings().setDateStyle(0);
        startWindows(false);
        // Before any translation, as in English.
        const QByteArray english = captureInto(1, QStringLiteral("english.txt"));
        QVERIFY(english.contains("line 2"));
        closeWindows();

        QCOMPARE(Translations::install(), wanted);
        const Expected expected = expectedFor(wanted);
        startWindows(false);
        QStringList menus;
        for (QAction* menu : m_main->menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus, expected.menus);
        QCOMPARE(captureInto(2, QStringLiteral("translated.txt")), english);
        m_collector->refreshHints();
        QCOMPARE(m_main->statusText(), expected.readyHint.arg(m_collector->fileName(2)));

        // A slot file that cannot be made: the error in the language.
        QVERIFY(QDir(m_desk->folder()).mkpath(QStringLiteral("taken/folder.txt")));
        m_collector->setFileName(3, m_desk->path(QStringLiteral("taken/folder.txt")));
        m_collector->setActiveSlot(3);
        QGuiApplication::clipboard()->setText(QStringLiteral("x"));
        TestSupport::captureAndWait(*m_collector, Collector::Trigger::User);
        QTRY_VERIFY(!m_desk->errors().isEmpty());
        QVERIFY2(m_desk->errors().last().contains(expected.cannotOpen),
                 qPrintable(m_desk->errors().last()));

        QMessageBox box(QMessageBox::Question, QStringLiteral("Clipstow"), QString(),
                        QMessageBox::Save | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Save)->text().remove(QLatin1Char('&')),
                 expected.saveButton);
        endDesk(true);
    }

    // The language chosen from the desktop's list: the first with a
    // translation, English where English comes first or none has one.
    void chooseLanguage_data()
    {
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("German") << QStringList{"de-DE", "de"} << "de";
        QTest::newRow("Swiss French") << QStringList{"fr-CH"} << "fr";
        QTest::newRow("list, first has none") << QStringList{"nl-NL", "fr", "de"} << "fr";
        QTest::newRow("English first") << QStringList{"en-GB", "de"} << "en";
        QTest::newRow("C locale") << QStringList{"C"} << "en";
        QTest::newRow("none fits") << QStringList{"ja-JP", "pt"} << "en";
        QTest::newRow("empty") << QStringList{} << "en";
    }

    void chooseLanguage()
    {
        QFETCH(QStringList, languages);
        QFETCH(QString, chosen);
        QCOMPARE(Translations::chooseLanguage(languages), chosen);
    }
};

CLIPSTOW_TEST_MAIN(TestLanguage)
#include "tst_language.moc"

// Which clipboard contents count as secret, built as the owning programs
// offer them.
#include "core/ClipboardSecrets.h"
#include "support/TestMain.h"

#include <QtTest>

using Formats = QList<QPair<QString, QByteArray>>;
Q_DECLARE_METATYPE(Formats)

namespace {
QString windowsMime(const QString& name)
{
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(name);
}
const QByteArray dword0("\0\0\0\0", 4);
const QByteArray dword1("\1\0\0\0", 4);
} // namespace

class TestClipboardSecrets final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void isSecret_data()
    {
        QTest::addColumn<Formats>("formats");
        QTest::addColumn<bool>("secret");

        QTest::newRow("plain text") << Formats{{"text/plain", "hello"}} << false;
        QTest::newRow("nothing") << Formats{} << false;

        QTest::newRow("kde hint secret")
            << Formats{{"text/plain", "pw"}, {"x-kde-passwordManagerHint", "secret"}} << true;
        QTest::newRow("kde hint secret with newline")
            << Formats{{"text/plain", "pw"}, {"x-kde-passwordManagerHint", "secret\n"}} << true;
        QTest::newRow("kde hint other value")
            << Formats{{"text/plain", "pw"}, {"x-kde-passwordManagerHint", "public"}} << false;
        QTest::newRow("kde hint empty")
            << Formats{{"text/plain", "pw"}, {"x-kde-passwordManagerHint", ""}} << false;
        QTest::newRow("kde hint value is case sensitive")
            << Formats{{"text/plain", "pw"}, {"x-kde-passwordManagerHint", "Secret"}} << false;

        QTest::newRow("exclude, bare name")
            << Formats{{"text/plain", "pw"}, {"ExcludeClipboardContentFromMonitorProcessing", ""}}
            << true;
        QTest::newRow("exclude, windows mime")
            << Formats{{"text/plain", "pw"},
                       {windowsMime("ExcludeClipboardContentFromMonitorProcessing"), "x"}}
            << true;
        QTest::newRow("exclude, other letter case")
            << Formats{{"text/plain", "pw"},
                       {windowsMime("excludeclipboardcontentfrommonitorprocessing"), "x"}}
            << true;
        QTest::newRow("viewer ignore, bare name")
            << Formats{{"text/plain", "pw"}, {"Clipboard Viewer Ignore", ""}} << true;
        QTest::newRow("viewer ignore, windows mime")
            << Formats{{"text/plain", "pw"}, {windowsMime("Clipboard Viewer Ignore"), "1"}} << true;
        QTest::newRow("name only as a prefix")
            << Formats{{"text/plain", "pw"}, {windowsMime("Clipboard Viewer Ignored"), "1"}}
            << false;

        QTest::newRow("history forbidden, windows mime")
            << Formats{{"text/plain", "pw"}, {windowsMime("CanIncludeInClipboardHistory"), dword0}}
            << true;
        QTest::newRow("history forbidden, bare name")
            << Formats{{"text/plain", "pw"}, {"CanIncludeInClipboardHistory", dword0}} << true;
        QTest::newRow("history allowed")
            << Formats{{"text/plain", "pw"}, {windowsMime("CanIncludeInClipboardHistory"), dword1}}
            << false;
        QTest::newRow("history value not a dword")
            << Formats{{"text/plain", "pw"},
                       {windowsMime("CanIncludeInClipboardHistory"), QByteArray(2, '\0')}}
            << false;
        QTest::newRow("history value empty")
            << Formats{{"text/plain", "pw"}, {windowsMime("CanIncludeInClipboardHistory"), ""}}
            << false;
    }

    void isSecret()
    {
        QFETCH(Formats, formats);
        QFETCH(bool, secret);
        // The content of the marks that need it, as the monitor reads it.
        QStringList types;
        QHash<QString, QByteArray> content;
        for (const auto& [type, value] : formats) {
            types << type;
            if (ClipboardSecrets::needsContent(type))
                content.insert(type, value);
        }
        QCOMPARE(ClipboardSecrets::isSecret(types, content), secret);
    }

    // A mark whose content did not come (refused, or not read yet) is none.
    void unreadMarkIsNotSecret()
    {
        QVERIFY(!ClipboardSecrets::isSecret(
            {QStringLiteral("text/plain"), QStringLiteral("x-kde-passwordManagerHint")}, {}));
        QVERIFY(!ClipboardSecrets::isSecret({windowsMime("CanIncludeInClipboardHistory")},
                                            {{windowsMime("CanIncludeInClipboardHistory"), {}}}));
    }

    void windowsFormatName_data()
    {
        QTest::addColumn<QString>("mime");
        QTest::addColumn<QString>("name");
        QTest::newRow("windows mime")
            << windowsMime("Clipboard Viewer Ignore") << "Clipboard Viewer Ignore";
        QTest::newRow("ordinary type") << "text/plain"
                                       << "text/plain";
        QTest::newRow("no closing quote") << "application/x-qt-windows-mime;value=\"abc"
                                          << "application/x-qt-windows-mime;value=\"abc";
        QTest::newRow("empty value") << "application/x-qt-windows-mime;value=\"\""
                                     << "";
    }

    void windowsFormatName()
    {
        QFETCH(QString, mime);
        QFETCH(QString, name);
        QCOMPARE(ClipboardSecrets::windowsFormatName(mime), name);
    }
};

CLIPSTOW_TEST_GUILESS_MAIN(TestClipboardSecrets)
#include "tst_clipboardsecrets.moc"

// The clipboard viewer: the formats with their sizes and the text, followed
// live, and secret content never shown.
#include "support/DesktopFixture.h"
#include "ui/ClipboardViewer.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

namespace {

QMimeData* mimeData(const QString& text, const QByteArray& secretHint = {})
{
    auto* data = new QMimeData;
    data->setText(text);
    data->setData(QStringLiteral("text/html"), "<b>" + text.toUtf8() + "</b>");
    if (!secretHint.isEmpty())
        data->setData(QStringLiteral("x-kde-passwordManagerHint"), secretHint);
    return data;
}

// "format size" rows of the list.
QStringList rows(const ClipboardViewer& viewer)
{
    QStringList result;
    for (int i = 0; i < viewer.formatList()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = viewer.formatList()->topLevelItem(i);
        result << item->text(0) + u' ' + item->text(1);
    }
    return result;
}

} // namespace

class TestClipboardViewer final : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSupport::DesktopFixture> m_desk;

private Q_SLOTS:
    void init() { m_desk = std::make_unique<TestSupport::DesktopFixture>(); }
    void cleanup() { m_desk.reset(); }

    void followsTheClipboardAndHidesSecrets()
    {
        ClipboardViewer viewer;
        QCOMPARE(viewer.windowTitle(), QStringLiteral("Clipboard Viewer"));
        viewer.present();
        QCOMPARE(rows(viewer), QStringList());

        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setMimeData(mimeData(QStringLiteral("hello")));
        QTRY_COMPARE(viewer.textView()->toPlainText(), QStringLiteral("hello"));
        QVERIFY(viewer.textView()->isReadOnly());
        QVERIFY2(rows(viewer).contains(QStringLiteral("text/plain 5 bytes")),
                 qPrintable(rows(viewer).join(u'|')));
        QVERIFY(rows(viewer).contains(QStringLiteral("text/html 12 bytes")));

        // Neither the text nor its length.
        clipboard->setMimeData(mimeData(QStringLiteral("hunter2"), "secret"));
        QTRY_COMPARE(viewer.textView()->toPlainText(), ClipboardViewer::hiddenText());
        QVERIFY(rows(viewer).contains(QStringLiteral("text/plain hidden")));

        // While hidden it does not follow; on showing it reads the clipboard.
        viewer.hide();
        clipboard->setMimeData(mimeData(QStringLiteral("later")));
        QCOMPARE(viewer.textView()->toPlainText(), ClipboardViewer::hiddenText());
        viewer.present();
        QCOMPARE(viewer.textView()->toPlainText(), QStringLiteral("later"));

        clipboard->clear();
        QTRY_COMPARE(viewer.textView()->toPlainText(), QStringLiteral("(no text)"));
    }

    void longTextIsCut()
    {
        ClipboardViewer viewer;
        viewer.present();
        QGuiApplication::clipboard()->setText(
            QString(ClipboardViewer::MaximumShownLength + 10, u'x'));
        QTRY_VERIFY(viewer.textView()->toPlainText().endsWith(
            QStringLiteral("(The text goes on: 10,010 characters in all.)")));
    }
};

QTEST_MAIN(TestClipboardViewer)
#include "tst_clipboardviewer.moc"

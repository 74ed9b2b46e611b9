// The clipboard viewer: formats with their sizes and the text, followed
// live; secret content never shown.
#include "core/ClipboardMonitor.h"
#include "support/DesktopFixture.h"
#include "support/TestMain.h"
#include "ui/ClipboardViewer.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

class TestClipboardViewer final : public QObject
{
    Q_OBJECT

    // "format size" rows of the list.
    static QStringList rows(const ClipboardViewer& viewer)
    {
        QStringList result;
        for (int i = 0; i < viewer.formatList()->topLevelItemCount(); ++i)
            result << viewer.formatList()->topLevelItem(i)->text(0) + u' ' +
                          viewer.formatList()->topLevelItem(i)->text(1);
        return result;
    }

private Q_SLOTS:
    void followsTheClipboardAndHidesSecrets()
    {
        TestSupport::DesktopFixture desk;
        ClipboardMonitor monitor(createClipboardSource());
        ClipboardViewer viewer(monitor);
        viewer.present();
        QClipboard* clipboard = QGuiApplication::clipboard();
        auto* data = new QMimeData;
        data->setText(QStringLiteral("hello"));
        data->setHtml(QStringLiteral("<b>hello</b>"));
        clipboard->setMimeData(data);
        QTRY_COMPARE(viewer.textView()->toPlainText(), QStringLiteral("hello"));
        QTRY_COMPARE(rows(viewer), QStringList({QStringLiteral("text/plain 5 bytes"),
                                                QStringLiteral("text/html 12 bytes")}));

        // Neither the text nor its length.
        data = new QMimeData;
        data->setText(QStringLiteral("hunter2"));
        data->setData(QStringLiteral("x-kde-passwordManagerHint"), "secret");
        clipboard->setMimeData(data);
        QTRY_COMPARE(viewer.textView()->toPlainText(), ClipboardViewer::hiddenText());
        QVERIFY(rows(viewer).contains(QStringLiteral("text/plain hidden")));

        // A long text is cut, saying so, instead of taking minutes to lay out.
        clipboard->setText(QString(ClipboardViewer::MaximumShownLength + 10, u'x'));
        QTRY_VERIFY(viewer.textView()->toPlainText().endsWith(
            QStringLiteral("(The text goes on: 10,010 characters in all.)")));
        // Counted as the text would be, without decoding it all: two
        // bytes for é, four for an emoji (two characters here).
        clipboard->setText(QString(ClipboardViewer::MaximumShownLength * 3, u'\u00e9') +
                           QStringLiteral("\U0001F600"));
        QTRY_VERIFY(viewer.textView()->toPlainText().endsWith(
            QStringLiteral("(The text goes on: 30,002 characters in all.)")));
    }
};

CLIPSTOW_TEST_MAIN(TestClipboardViewer)
#include "tst_clipboardviewer.moc"

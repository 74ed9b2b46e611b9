// Printing a slot editor to a real PDF file and reading it back with the
// poppler tools: page count, document title, the text and its position.
#include "support/Files.h"
#include "support/TestMain.h"
#include "ui/editor/SlotEditor.h"

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>")
            .arg(program, QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString infoField(const QString& pdf, const QString& field)
{
    const QString info = run("pdfinfo", {pdf});
    const QRegularExpression re("^" + field + ":\\s*(.*)$", QRegularExpression::MultilineOption);
    return re.match(info).captured(1).trimmed();
}

int pageCount(const QString& pdf)
{
    return infoField(pdf, "Pages").toInt();
}

QString pageText(const QString& pdf, int page)
{
    return run("pdftotext",
               {"-layout", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
}

} // namespace

class TestSlotPrint final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString print(SlotEditor& editor, const QString& name, const QString& title)
    {
        const QString path = m_dir.filePath(name);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
        editor.printText(title, printer);
        return path;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("pdfinfo").isEmpty() ||
            QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("poppler-utils (pdfinfo, pdftotext) are not installed");
    }

    // A job that could not start used to end silently, as if it had printed.
    void jobThatCannotStartIsReported()
    {
        SlotEditor editor;
        editor.setText("text");
        QCOMPARE(
            TestSupport::errorOf([&] { print(editor, "missing-folder/out.pdf", "notes.txt"); }),
            QString("Cannot print notes.txt"));
    }

    void emptyTextPrintsOneBlankPage()
    {
        SlotEditor editor;
        const QString pdf = print(editor, "empty.pdf", "Default1.txt");
        QCOMPARE(pageCount(pdf), 1);
        QCOMPARE(pageText(pdf, 1).trimmed(), QString());
        QCOMPARE(infoField(pdf, "Title"), QString("Default1.txt"));
    }

    // One line of 60,000 characters with no place to break it prints whole,
    // wrapped to the page width.
    void longSingleLinePrintsWhole()
    {
        SlotEditor editor;
        QString line(60'000, Qt::Uninitialized);
        for (int i = 0; i < line.size(); ++i)
            line[i] = QLatin1Char("0123456789abcdef"[i % 16]);
        editor.setText(line);
        const QString pdf = print(editor, "oneline.pdf", "Line.txt");
        const int pages = pageCount(pdf);
        QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));
        QString all;
        for (int p = 1; p <= pages; ++p)
            all += pageText(pdf, p);
        all.remove(QRegularExpression("\\s"));
        QCOMPARE(all, line);
    }

    void longTextPrintsEveryLineOnceInOrder()
    {
        SlotEditor editor;
        QFont font("DejaVu Sans Mono");
        font.setPointSize(12);
        editor.setFont(font);
        QStringList lines;
        for (int i = 1; i <= 200; ++i)
            lines << QStringLiteral("line%1end").arg(i, 4, 10, QLatin1Char('0'));
        editor.setText(lines.join("\r\n"));
        const QString pdf = print(editor, "long.pdf", "Long.txt");
        const int pages = pageCount(pdf);
        // 200 lines of 12 pt need about 3 A4 pages without margins.
        QVERIFY2(pages >= 3 && pages <= 5, qPrintable(QString::number(pages)));

        QString all;
        for (int p = 1; p <= pages; ++p) {
            const QString text = pageText(pdf, p);
            QVERIFY2(!text.trimmed().isEmpty(), qPrintable(QString("page %1 empty").arg(p)));
            all += text;
        }
        const QRegularExpression token("line(\\d{4})end");
        int expected = 1;
        for (auto it = token.globalMatch(all); it.hasNext();) {
            QCOMPARE(it.next().captured(1).toInt(), expected);
            ++expected;
        }
        QCOMPARE(expected, 201);
        QVERIFY(pageText(pdf, pages).contains("line0200end"));
    }

    void printsFromPrintableCornerWithoutMargins()
    {
        SlotEditor editor;
        QFont font("DejaVu Sans Mono");
        font.setPointSize(10);
        editor.setFont(font);
        editor.setText("Corner");
        const QString pdf = print(editor, "corner.pdf", "c");
        const QString box = run("pdftotext", {"-bbox", pdf, "-"});
        const QRegularExpression word(
            "xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"[\\d.]+\" yMax=\"([\\d.]+)\">Corner<");
        const auto m = word.match(box);
        QVERIFY2(m.hasMatch(), qPrintable(box));
        // PDF output has no unprintable edge: the text starts at the corner.
        QVERIFY(m.captured(1).toDouble() < 3.0);
        QVERIFY(m.captured(2).toDouble() < 5.0);
        // At 10 pt the word's box is about 10 to 14 points tall.
        const double height = m.captured(3).toDouble() - m.captured(2).toDouble();
        QVERIFY2(height > 8.0 && height < 16.0, qPrintable(QString::number(height)));
    }

    void longLinesWrapToPageWidth()
    {
        SlotEditor editor;
        QFont font("DejaVu Sans Mono");
        font.setPointSize(12);
        editor.setFont(font);
        QStringList words;
        for (int i = 1; i <= 300; ++i)
            words << QStringLiteral("w%1").arg(i, 3, 10, QLatin1Char('0'));
        editor.setText(words.join(' ')); // one line, far wider than a page
        const QString pdf = print(editor, "wrap.pdf", "w");
        QCOMPARE(pageCount(pdf), 1);
        const QString text = pageText(pdf, 1);
        QVERIFY(text.count('\n') >= 10);
        for (const QString& w : words)
            QVERIFY2(text.contains(w), qPrintable(w));
    }
};

CLIPSTOW_TEST_MAIN(TestSlotPrint)
#include "tst_slotprint.moc"

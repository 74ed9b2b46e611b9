// Printing a slot editor's text: the whole printable area, no header,
// footer or page number, the editor's font at its point size, lines
// wrapped to the page width, page after page to the last character.
#include "ui/editor/SlotEditor.h"

#include "base/AppError.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextOption>

namespace {

QFont printFont(const QFont& editorFont, qreal editorDpi)
{
    QFont font = editorFont;
    // A font sized in pixels keeps its size on screen: convert it to points
    // so that the printer's resolution scales it.
    if (font.pointSizeF() <= 0 && font.pixelSize() > 0)
        font.setPointSizeF(font.pixelSize() * 72.0 / editorDpi);
    return font;
}

} // namespace

void SlotEditor::printText(const QString& title, QPrinter& printer)
{
    printer.setDocName(title);
    printer.setFullPage(false);
    // No margins beyond what the printer cannot print on.
    if (!printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter))
        printer.setPageMargins(printer.pageLayout().minimumMargins(), printer.pageLayout().units());

    QString text = textLf();

    QTextDocument doc;
    doc.setDocumentMargin(0);
    doc.setDefaultFont(printFont(font(), logicalDpiY()));
    QTextOption option = doc.defaultTextOption();
    // As on the screen: at word boundaries, or anywhere while the text holds
    // a run too long to lay out that way in reasonable time.
    option.setWrapMode(wordWrapMode());
    doc.setDefaultTextOption(option);
    doc.setPlainText(text);
    text.clear();
    doc.documentLayout()->setPaintDevice(&printer);

    // With fullPage off the painter's origin is the printable area's
    // top-left corner and pageRect is that area.
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    doc.setPageSize(page.size());

    QPainter painter;
    // A job that cannot start (an unwritable output file, a printer that
    // went away) is reported rather than ending as if it had printed.
    if (!painter.begin(&printer))
        throw AppError::withName(QCoreApplication::translate("SlotEditorPrint", "Cannot print %s"),
                                 title);
    const int pages = std::max(1, doc.pageCount());
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            printer.newPage();
        const QRectF area(0, i * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -area.top());
        painter.setClipRect(area);
        context.clip = area;
        doc.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    painter.end();
}

#include "ui/ClipboardViewer.h"

#include "ui/Icons.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

ClipboardViewer::ClipboardViewer(ClipboardMonitor& monitor, QWidget* parent)
    : QWidget(parent, Qt::Window), m_monitor(monitor)
{
    setWindowTitle(QCoreApplication::translate("ClipboardViewer", "Clipboard Viewer"));
    setWindowIcon(Icons::clipboardViewer());

    m_summary = new QLabel(this);
    m_formats = new QTreeWidget(this);
    m_formats->setColumnCount(2);
    m_formats->setHeaderLabels(
        {QCoreApplication::translate("ClipboardViewer", "Format"), QStringLiteral("Size")});
    m_formats->setRootIsDecorated(false);
    m_formats->setUniformRowHeights(true);
    m_formats->header()->setStretchLastSection(false);
    m_formats->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_formats->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_formats);
    splitter->addWidget(m_text);
    splitter->setStretchFactor(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(splitter, 1);
    resize(420, 380);

    // Only while the window shows: reading every format of a large
    // clipboard costs time that nobody would see.
    connect(&m_monitor, &ClipboardMonitor::changed, this, [this] {
        if (isVisible())
            refresh();
    });
    connect(&m_monitor, &ClipboardMonitor::formatRead, this, &ClipboardViewer::onFormatRead);
    connect(&m_monitor, &ClipboardMonitor::formatFailed, this,
            [this](ClipboardMonitor::OfferId offer, const QString& format) {
                onFormatFailed(offer, format);
            });
}

void ClipboardViewer::present()
{
    show();
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void ClipboardViewer::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refresh();
}

void ClipboardViewer::refresh()
{
    const ClipboardSource::Offer& offer = m_monitor.current();
    const bool secret = m_monitor.currentIsSecret();
    m_offer = offer.id;
    m_formats->clear();
    m_rows.clear();
    m_toRead.clear();
    m_reading.clear();
    for (const QString& format : offer.formats) {
        // The size of a secret text would tell its length.
        auto* item = new QTreeWidgetItem(
            m_formats, {format, secret ? QStringLiteral("hidden") : QStringLiteral("…")});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        m_rows.insert(format, item);
    }
    const qsizetype count = offer.formats.size();
    if (count == 0)
        m_summary->setText(
            QCoreApplication::translate("ClipboardViewer", "The clipboard is empty."));
    else if (count == 1)
        m_summary->setText(QCoreApplication::translate("ClipboardViewer", "1 format:"));
    else
        m_summary->setText(
            QCoreApplication::translate("ClipboardViewer", "%1 formats:").arg(count));

    m_textFormat = ClipboardMonitor::textFormat(offer.formats);
    if (secret) {
        m_text->setPlainText(hiddenText());
        return;
    }
    m_text->setPlainText(m_textFormat.isEmpty()
                             ? QCoreApplication::translate("ClipboardViewer", "(no text)")
                             : QStringLiteral("…"));
    // The text first, then the others in the owner's order; what was read
    // already is shown at once.
    QStringList order = offer.formats;
    if (!m_textFormat.isEmpty())
        order.move(order.indexOf(m_textFormat), 0);
    for (const QString& format : order) {
        const QByteArray data = offer.data.value(format);
        if (data.isNull())
            m_toRead << format;
        else
            showData(format, data);
    }
    readMore();
}

void ClipboardViewer::readMore()
{
    while (m_reading.size() < ParallelReads && !m_toRead.isEmpty()) {
        const QString format = m_toRead.takeFirst();
        m_reading.insert(format);
        m_monitor.readFormat(format, ReadMs);
    }
}

void ClipboardViewer::onFormatRead(ClipboardMonitor::OfferId offer, const QString& format,
                                   const QByteArray& data)
{
    if (offer != m_offer || !m_rows.contains(format) || m_monitor.currentIsSecret())
        return;
    m_toRead.removeAll(format);
    m_reading.remove(format);
    showData(format, data);
    readMore();
}

void ClipboardViewer::onFormatFailed(ClipboardMonitor::OfferId offer, const QString& format)
{
    if (offer != m_offer || !m_reading.remove(format))
        return;
    m_rows.value(format)->setText(1, notDeliveredText());
    if (format == m_textFormat)
        m_text->setPlainText(notDeliveredText());
    readMore();
}

void ClipboardViewer::showData(const QString& format, const QByteArray& data)
{
    m_rows.value(format)->setText(1, QLocale().formattedDataSize(data.size()));
    if (format == m_textFormat)
        showText(format, data);
}

namespace {

// The length a text's decoding would have, without decoding it: UTF-8
// counts its characters in UTF-16 units, as QString does.
qsizetype decodedLength(const QString& format, const QByteArray& data)
{
    if (format == QLatin1String("STRING"))
        return data.size() - data.endsWith('\0');
    qsizetype length = -qsizetype(data.endsWith('\0'));
    for (const char c : data) {
        const auto byte = static_cast<unsigned char>(c);
        length += (byte & 0xC0) != 0x80; // not a continuation byte
        length += byte >= 0xF0;          // a surrogate pair
    }
    return length;
}

} // namespace

// Only the part shown is decoded: a large text would hold the window up.
void ClipboardViewer::showText(const QString& format, const QByteArray& data)
{
    const QString start = ClipboardMonitor::decodeText(format, data.left(4 * MaximumShownLength));
    if (start.size() <= MaximumShownLength && data.size() <= 4 * MaximumShownLength) {
        m_text->setPlainText(start);
        return;
    }
    m_text->setPlainText(start.left(MaximumShownLength) +
                         QCoreApplication::translate(
                             "ClipboardViewer", "\n\n(The text goes on: %1 characters in all.)")
                             .arg(QLocale().toString(decodedLength(format, data))));
}

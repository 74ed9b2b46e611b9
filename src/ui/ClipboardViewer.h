#pragma once

#include "core/ClipboardMonitor.h"

#include <QHash>
#include <QSet>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

// "Clipboard Viewer": a small window that lists the formats the clipboard
// offers with their sizes and shows its text, following every change while
// it is open. Content its owner marked as secret is not shown.
//
// The formats are read through the clipboard monitor, a few at a time,
// each with a short limit; the window never waits for them. A format whose
// owner does not deliver within the limit shows "(not delivered)".
class ClipboardViewer final : public QWidget
{
    Q_OBJECT

public:
    // What the text pane shows instead of secret content.
    static QString hiddenText() { return tr("(hidden: marked secret by its owner)"); }
    // The size column and the text pane of a format that did not come.
    static QString notDeliveredText() { return tr("(not delivered)"); }
    // Longest text shown; a longer one is cut there, saying so. Laying out
    // a long line without breaks takes the viewer far longer than a glance
    // at the clipboard is worth.
    static constexpr qsizetype MaximumShownLength = 10'000;
    // How long a format's owner may take, and how many formats are read at
    // once.
    static constexpr int ReadMs = 1000;
    static constexpr int ParallelReads = 8;

    // parent only keeps the window alive; it is a window of its own.
    explicit ClipboardViewer(ClipboardMonitor& monitor, QWidget* parent = nullptr);

    // Shows the window with the clipboard's current content and brings it
    // forward.
    void present();
    // Shows the clipboard's newest content, asking its owner again.
    void refresh();

    QTreeWidget* formatList() const { return m_formats; }
    QPlainTextEdit* textView() const { return m_text; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void onFormatRead(ClipboardMonitor::OfferId offer, const QString& format,
                      const QByteArray& data);
    void onFormatFailed(ClipboardMonitor::OfferId offer, const QString& format);
    void showData(const QString& format, const QByteArray& data);
    void showText(const QString& format, const QByteArray& data);
    void readMore();

    ClipboardMonitor& m_monitor;
    QTreeWidget* m_formats = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QLabel* m_summary = nullptr;
    // The copy shown, its rows, and the formats still to read.
    ClipboardMonitor::OfferId m_offer = 0;
    QString m_textFormat;
    QHash<QString, QTreeWidgetItem*> m_rows;
    QStringList m_toRead;
    QSet<QString> m_reading;
};

#pragma once

#include <QWidget>

class QLabel;
class QMimeData;
class QPlainTextEdit;
class QTreeWidget;

// "Clipboard Viewer": a small window that lists the formats the clipboard
// offers with their sizes and shows its text, following every change while
// it is open. Content its owner marked as secret is not shown.
class ClipboardViewer final : public QWidget
{
    Q_OBJECT

public:
    // What the text pane shows instead of secret content.
    static QString hiddenText() { return QStringLiteral("(hidden: marked secret by its owner)"); }
    // Longest text shown; a longer one is cut there, saying so. Laying out
    // a long line without breaks takes the viewer far longer than a glance
    // at the clipboard is worth.
    static constexpr qsizetype MaximumShownLength = 10'000;

    // parent only keeps the window alive; it is a window of its own.
    explicit ClipboardViewer(QWidget* parent = nullptr);

    // Shows the window with the clipboard's current content and brings it
    // forward.
    void present();
    // Reads the clipboard again.
    void refresh();

    QTreeWidget* formatList() const { return m_formats; }
    QPlainTextEdit* textView() const { return m_text; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showContent(const QMimeData* data);

    QTreeWidget* m_formats = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QLabel* m_summary = nullptr;
};

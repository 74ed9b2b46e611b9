#include "ui/ClipboardViewer.h"

#include "core/ClipboardSecrets.h"
#include "ui/Icons.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

ClipboardViewer::ClipboardViewer(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Clipboard Viewer"));
    setWindowIcon(Icons::clipboardViewer());

    m_summary = new QLabel(this);
    m_formats = new QTreeWidget(this);
    m_formats->setColumnCount(2);
    m_formats->setHeaderLabels({QStringLiteral("Format"), QStringLiteral("Size")});
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
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        if (isVisible())
            refresh();
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
    showContent(QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard));
}

namespace {
// Names of the X11 selection protocol that some owners list beside their
// formats; they hold no content.
bool isProtocolTarget(const QString& format)
{
    static const QStringList targets = {QStringLiteral("TARGETS"), QStringLiteral("MULTIPLE"),
                                        QStringLiteral("TIMESTAMP"),
                                        QStringLiteral("SAVE_TARGETS")};
    return targets.contains(format);
}
} // namespace

void ClipboardViewer::showContent(const QMimeData* data)
{
    m_formats->clear();
    QStringList formats = data ? data->formats() : QStringList();
    formats.removeIf(isProtocolTarget);
    const bool secret = ClipboardSecrets::isSecret(data);
    for (const QString& format : formats) {
        // The size of a secret text would tell its length.
        const QString size = secret ? QStringLiteral("hidden")
                                    : QLocale().formattedDataSize(data->data(format).size());
        auto* item = new QTreeWidgetItem(m_formats, {format, size});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (formats.isEmpty())
        m_summary->setText(QStringLiteral("The clipboard is empty."));
    else if (formats.size() == 1)
        m_summary->setText(QStringLiteral("1 format:"));
    else
        m_summary->setText(QStringLiteral("%1 formats:").arg(formats.size()));

    if (secret) {
        m_text->setPlainText(hiddenText());
    } else if (data && data->hasText()) {
        const QString text = data->text();
        if (text.size() > MaximumShownLength)
            m_text->setPlainText(text.left(MaximumShownLength) +
                                 QStringLiteral("\n\n(The text goes on: %1 characters in all.)")
                                     .arg(QLocale().toString(text.size())));
        else
            m_text->setPlainText(text);
    } else {
        m_text->setPlainText(QStringLiteral("(no text)"));
    }
}

#include "ui/HelpWindow.h"

#include "base/AppError.h"
#include "core/ErrorReporter.h"
#include "core/ProgramInfo.h"
#include "platform/Shell.h"
#include "settings/Settings.h"
#include "ui/Icons.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;

const char* resourceOf(HelpWindow::Topic topic)
{
    switch (topic) {
    case HelpWindow::Topic::Features:
        return ":/help/features.txt";
    case HelpWindow::Topic::HowToUse:
        return ":/help/howto.txt";
    case HelpWindow::Topic::More:
        return ":/help/more.txt";
    case HelpWindow::Topic::License:
        return ":/text/LICENSE";
    }
    return "";
}

// The licence file is wrapped for an 80-column terminal; in a viewer that
// wraps lines itself, each paragraph reads better as one line.
QString joinWrappedLines(const QString& text)
{
    QStringList paragraphs = text.split(QStringLiteral("\n\n"));
    for (QString& paragraph : paragraphs)
        paragraph = paragraph.trimmed().replace(QLatin1Char('\n'), QLatin1Char(' '));
    return paragraphs.join(QStringLiteral("\n\n"));
}

} // namespace

HelpWindow::HelpWindow(Settings& settings, ErrorReporter& errors, QWidget* parent)
    : QWidget(parent, Qt::Window), m_settings(settings), m_errors(errors)
{
    setWindowTitle(QCoreApplication::translate("HelpWindow", "Clipstow Help"));
    setWindowIcon(Icons::help());

    m_viewer = new QPlainTextEdit(this);
    m_viewer->setReadOnly(true);
    m_viewer->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_viewer->setContextMenuPolicy(Qt::CustomContextMenu);

    m_copyAction = new QAction(QCoreApplication::translate("HelpWindow", "&Copy"), this);
    m_copyAction->setIcon(Icons::copy());
    m_copyAction->setEnabled(false);
    m_selectAllAction = new QAction(QCoreApplication::translate("HelpWindow", "&Select All"), this);
    m_selectAllAction->setIcon(Icons::selectAll());
    auto* contextMenu = new QMenu(this);
    contextMenu->addAction(m_copyAction);
    contextMenu->addAction(m_selectAllAction);
    connect(m_copyAction, &QAction::triggered, m_viewer, &QPlainTextEdit::copy);
    connect(m_selectAllAction, &QAction::triggered, m_viewer, &QPlainTextEdit::selectAll);
    connect(m_viewer, &QPlainTextEdit::copyAvailable, m_copyAction, &QAction::setEnabled);
    connect(m_viewer, &QPlainTextEdit::customContextMenuRequested, this,
            [this, contextMenu](const QPoint& pos) {
                contextMenu->popup(m_viewer->viewport()->mapToGlobal(pos));
            });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildButtonRow());
    layout->addWidget(m_viewer, 1);
    layout->addWidget(buildLegend());

    // The captions may need more room than the designed width in the
    // desktop's font: the window then grows to show them whole.
    setMinimumSize(std::max(MinimumWidth, layout->minimumSize().width()), MinimumHeight);
    resize(std::max(MinimumWidth, minimumWidth()), 350);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    showTopic(Topic::Features);
}

QWidget* HelpWindow::buildButtonRow()
{
    auto* row = new QWidget(this);
    // 41 pixels high with the designed font, higher where a larger font
    // needs it.
    row->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(13);
    const std::array<QString, TopicCount> captions = {
        QCoreApplication::translate("HelpWindow", "&Features"),
        QCoreApplication::translate("HelpWindow", "&How to use"),
        QCoreApplication::translate("HelpWindow", "&More"),
        QCoreApplication::translate("HelpWindow", "&License")};
    auto addButton = [row, layout](const QString& caption) {
        auto* button = new QPushButton(caption, row);
        button->setMinimumSize(ButtonWidth, ButtonHeight);
        button->setAutoDefault(false);
        layout->addWidget(button);
        return button;
    };
    for (int i = 0; i < TopicCount; ++i) {
        const auto topic = static_cast<Topic>(i);
        m_topicButtons[i] = addButton(captions[i]);
        connect(m_topicButtons[i], &QPushButton::clicked, this,
                [this, topic] { m_errors.reportFailures([this, topic] { showTopic(topic); }); });
    }
    const QString website = ProgramInfo::webSite();
    m_websiteButton = addButton(QCoreApplication::translate("HelpWindow", "&Website"));
    m_websiteButton->setToolTip(website);
    connect(m_websiteButton, &QPushButton::clicked, this, [website] { Shell::open(website); });
    // Without a web site there is nowhere to send the user.
    m_websiteButton->setVisible(!website.isEmpty());
    layout->addStretch(1);
    return row;
}

QWidget* HelpWindow::buildLegend()
{
    auto* legend = new QWidget(this);
    legend->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    legend->setToolTip(QCoreApplication::translate(
        "HelpWindow", "This demonstrates Clipstow icons in different states of Auto Clipstow"));
    auto* layout = new QHBoxLayout(legend);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(6);
    auto addEntry = [legend, layout](const QIcon& icon, const QString& caption) {
        auto* picture = new QLabel(legend);
        picture->setPixmap(icon.pixmap(16, 16));
        picture->setFixedSize(16, 16);
        layout->addWidget(picture);
        layout->addWidget(new QLabel(caption, legend));
        layout->addSpacing(8);
    };
    addEntry(Icons::programIcon(),
             QCoreApplication::translate("HelpWindow", "- Auto Clipstow is DISABLED"));
    addEntry(Icons::autoProgramIcon(),
             QCoreApplication::translate("HelpWindow", "- Auto Clipstow is ENABLED"));
    layout->addStretch(1);
    return legend;
}

QString HelpWindow::topicText(Topic topic)
{
    QFile file(QString::fromLatin1(resourceOf(topic)));
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QCoreApplication::translate("HelpWindow", "Cannot open resource ") +
                       file.fileName());
    const QString text = QString::fromUtf8(file.readAll());
    return topic == Topic::License ? joinWrappedLines(text) : text;
}

void HelpWindow::showTopic(Topic topic)
{
    m_viewer->setPlainText(topicText(topic));
    m_viewer->verticalScrollBar()->setValue(0);
    m_topic = topic;
}

QPushButton* HelpWindow::topicButton(Topic topic) const
{
    return m_topicButtons[static_cast<int>(topic)];
}

void HelpWindow::present()
{
    show();
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void HelpWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        applyStoredFont();
}

// The font the program saved when it last ended, so the help reads like the
// slots did then.
void HelpWindow::applyStoredFont()
{
    FontRecord shown;
    shown.font = m_viewer->font();
    const FontRecord record = m_settings.editorFont(shown);
    m_viewer->setFont(record.font);
    QPalette palette = m_viewer->palette();
    palette.setColor(QPalette::Text, record.resolvedColor(palette));
    m_viewer->setPalette(palette);
}

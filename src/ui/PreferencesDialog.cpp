#include "ui/PreferencesDialog.h"

#include "base/Locale.h"
#include "core/SaveSound.h"
#include "platform/Autostart.h"
#include "settings/Preferences.h"
#include "settings/Settings.h"
#include "ui/Icons.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>
#include <map>

namespace {

// The layout at 96 pixels per inch; controls, pages and the dialog grow
// from it where a text needs more room.
constexpr QSize ClientSize(337, 222);
constexpr QRect PageControlRect(8, 8, 321, 177);
constexpr QRect OkRect(75, 192, 75, 25);
constexpr QRect CancelRect(195, 192, 75, 25);
constexpr int PageMargin = 8;

// Where the program dialog starts when no existing program is named.
const QString ProgramsFolder = QStringLiteral("/usr/bin");
// Where the sound dialog starts when no sound file exists and no media
// folder is stored.
const QString SoundsFolder = QStringLiteral("/usr/share/sounds");

QFont windowFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

QString existingFileFolder(const QString& fileName)
{
    const QFileInfo file(fileName);
    return file.isFile() ? file.absolutePath() : QString();
}

} // namespace

PreferencesDialog::PreferencesDialog(Settings& settings, Autostart& autostart, QString programPath,
                                     QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_settings(settings), m_autostart(autostart), m_programPath(std::move(programPath)),
      m_chooseFile(&runFileDialog)
{
    setObjectName(QStringLiteral("SettingsForm"));
    setWindowTitle(QStringLiteral("Preferences"));
    setFont(windowFont());

    m_pageControl = new QTabWidget(this);
    m_pageControl->setObjectName(QStringLiteral("PageControl1"));
    // Every tab stays readable: no scroll buttons, no shortened captions.
    m_pageControl->setUsesScrollButtons(false);
    m_pageControl->setElideMode(Qt::ElideNone);
    buildPages();

    m_okButton = new QPushButton(Icons::acceptGlyph(), QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("BitBtn1"));
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, [this] {
        m_save = true;
        accept();
    });
    m_cancelButton = new QPushButton(Icons::cancelGlyph(), QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("BitBtn2"));
    m_cancelButton->setAutoDefault(false);
    connect(m_cancelButton, &QPushButton::clicked, this, [this] {
        m_save = false;
        reject();
    });

    loadValues();
    fitToTexts();
    centreOnScreen();
}

PreferencesDialog::~PreferencesDialog() = default;

void PreferencesDialog::setFileChooser(FileChooser chooser)
{
    m_chooseFile = chooser ? std::move(chooser) : FileChooser(&runFileDialog);
}

std::optional<QString> PreferencesDialog::runFileDialog(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

void PreferencesDialog::done(int result)
{
    // Esc and the close box arrive here without OK or Cancel: nothing is
    // written then either.
    QDialog::done(result);
    if (m_save)
        savePreferences(m_settings, shownValues(), m_autostart, m_programPath);
}

QWidget* PreferencesDialog::addPage(const QString& caption)
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet%1").arg(m_pageControl->count() + 1));
    m_pageControl->addTab(page, caption);
    return page;
}

void PreferencesDialog::place(QWidget* widget, QRect rect)
{
    widget->setGeometry(rect);
    m_placed.append({widget, rect});
}

QCheckBox* PreferencesDialog::addCheckBox(QWidget* page, const char* name, const QString& caption,
                                          QRect rect)
{
    auto* box = new QCheckBox(caption, page);
    box->setObjectName(QString::fromLatin1(name));
    place(box, rect);
    return box;
}

QRadioButton* PreferencesDialog::addRadioButton(QWidget* page, const char* name,
                                                const QString& caption, QRect rect)
{
    auto* button = new QRadioButton(caption, page);
    button->setObjectName(QString::fromLatin1(name));
    place(button, rect);
    return button;
}

// A read-only path without a border, in the colour of the buttons.
QLineEdit* PreferencesDialog::addPathField(QWidget* page, const char* name, QRect rect)
{
    auto* field = new QLineEdit(page);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setFrame(false);
    QPalette palette = field->palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, palette.color(group, QPalette::Button));
    field->setPalette(palette);
    place(field, rect);
    return field;
}

QPushButton* PreferencesDialog::addSelectButton(QWidget* page, const char* name, QRect rect)
{
    auto* button = new QPushButton(Icons::browse(), QStringLiteral("Select..."), page);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    place(button, rect);
    return button;
}

QLabel* PreferencesDialog::addNote(QWidget* page, const char* name, const QString& text, QRect rect)
{
    auto* label = new QLabel(text, page);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(label, rect);
    return label;
}

// Controls are made in their tab order.
void PreferencesDialog::buildPages()
{
    QWidget* general = addPage(QStringLiteral("&General"));
    m_autoLoadCB = addCheckBox(general, "AutoLoadCB",
                               QStringLiteral("Load when &starting the desktop"), {16, 8, 177, 17});
    m_hideCB =
        addCheckBox(general, "HideCB", QStringLiteral("&Hide on startup"), {16, 56, 113, 17});
    m_confirmCB =
        addCheckBox(general, "ConfirmCB", QStringLiteral("&Confirmation boxes"), {16, 80, 129, 17});
    m_confirmCB->setToolTip(
        QStringLiteral("If this item is checked Clipstow will ask your "
                       "confirmation\nbefore clearing files or the Clipboard."));
    m_splashCB =
        addCheckBox(general, "SplashCB", QStringLiteral("Show s&plash screen"), {16, 32, 169, 17});

    QWidget* autoPage = addPage(QStringLiteral("\"&Auto Clipstow\" Feature"));
    m_rememberRB = addRadioButton(autoPage, "RememberRB", QStringLiteral("R&emember last state"),
                                  {8, 8, 145, 17});
    m_alwaysOnRB = addRadioButton(autoPage, "AlwaysOnRB",
                                  QStringLiteral("Always \"&On\" on startup"), {8, 32, 145, 17});
    m_alwaysOffRB = addRadioButton(autoPage, "AlwaysOffRB",
                                   QStringLiteral("Always\"O&ff\" on startup"), {8, 56, 145, 17});
    m_autoOffCB =
        addCheckBox(autoPage, "AutoOffCB",
                    QStringLiteral("T&urn \"Auto Clipstow\" off when editing"), {8, 80, 257, 17});

    // The two date captions are set when the values are loaded.
    QWidget* datePage = addPage(QStringLiteral("&Date Style"));
    m_date1RB = addRadioButton(datePage, "Date1RB", QString(), {8, 8, 250, 17});
    m_date2RB = addRadioButton(datePage, "Date2RB", QString(), {8, 32, 250, 17});
    m_date0RB = addRadioButton(datePage, "Date0RB", QStringLiteral("Do&n't save date and time"),
                               {8, 56, 161, 17});

    buildSoundPage();
    buildEditorPage();

    QWidget* remote = addPage(QStringLiteral("\"&Remote Control\""));
    m_rcRemRB =
        addRadioButton(remote, "RCRemRB", QStringLiteral("R&emember last state"), {8, 8, 153, 17});
    m_rcShowRB = addRadioButton(remote, "RCShowRB", QStringLiteral("Always sho&w on startup"),
                                {8, 32, 153, 17});
    m_rcHideRB = addRadioButton(remote, "RCHideRB", QStringLiteral("Always &hide on startup"),
                                {8, 56, 153, 17});
}

void PreferencesDialog::buildSoundPage()
{
    QWidget* page = addPage(QStringLiteral("&Sound"));
    m_defSoundCB =
        addCheckBox(page, "DefSoundCB", QStringLiteral("&Use default sound"), {40, 8, 129, 17});
    m_soundEdit = addPathField(page, "SoundEdit", {40, 26, 185, 21});
    m_soundSelBtn = addSelectButton(page, "SoundSelBtn", {232, 24, 75, 25});

    // A picture, not a stop of the tab order.
    m_soundIcon = new QToolButton(page);
    m_soundIcon->setObjectName(QStringLiteral("SoundIcon"));
    m_soundIcon->setIcon(Icons::playSound());
    m_soundIcon->setIconSize(QSize(32, 32));
    m_soundIcon->setAutoRaise(true);
    m_soundIcon->setFocusPolicy(Qt::NoFocus);
    m_soundIcon->setCursor(Qt::PointingHandCursor);
    m_soundIcon->setToolTip(QStringLiteral("Click to play"));
    m_soundIcon->setGeometry(4, 14, 32, 32);

    addNote(page, "Label2",
            QStringLiteral("Please choose the wave file that will be played after each "
                           "clipstowing."),
            {8, 72, 289, 41});

    connect(m_defSoundCB, &QCheckBox::toggled, this, &PreferencesDialog::applyEnabling);
    connect(m_soundSelBtn, &QPushButton::clicked, this, &PreferencesDialog::selectSoundFile);
    connect(m_soundIcon, &QToolButton::clicked, this, &PreferencesDialog::playShownSound);
}

void PreferencesDialog::buildEditorPage()
{
    QWidget* page = addPage(QStringLiteral("&Text Editor"));
    m_defEditorCB =
        addCheckBox(page, "DefEditorCB", QStringLiteral("Use default &editor"), {8, 8, 129, 17});
    m_editorEdit = addPathField(page, "EditorEdit", {8, 26, 217, 21});
    m_edSelBtn = addSelectButton(page, "EdSelBtn", {232, 24, 75, 25});
    addNote(page, "Label1",
            QStringLiteral("Please choose the application that that will be launched when you "
                           "click \"Edit in Text Editor\"."),
            {8, 72, 289, 41});

    connect(m_defEditorCB, &QCheckBox::toggled, this, &PreferencesDialog::applyEnabling);
    connect(m_edSelBtn, &QPushButton::clicked, this, &PreferencesDialog::selectEditor);
}

void PreferencesDialog::fitToTexts()
{
    for (const Placed& placed : std::as_const(m_placed)) {
        QRect rect = placed.rect;
        QWidget* widget = placed.widget;
        const auto* label = qobject_cast<QLabel*>(widget);
        if (label && label->wordWrap()) {
            rect.setHeight(std::max(rect.height(), label->heightForWidth(rect.width())));
        } else {
            // A path may be longer than any field; the field keeps its width.
            const QSize hint = widget->sizeHint();
            if (!qobject_cast<QLineEdit*>(widget))
                rect.setWidth(std::max(rect.width(), hint.width()));
            // Taller controls grow evenly up and down around their row.
            const int taller = hint.height() - rect.height();
            if (taller > 0)
                rect.adjust(0, -taller / 2, 0, taller - taller / 2);
        }
        widget->setGeometry(rect);
    }

    for (int i = 0; i < m_pageControl->count(); ++i) {
        QWidget* page = m_pageControl->widget(i);
        page->setMinimumSize(page->childrenRect().bottomRight().x() + 1 + PageMargin,
                             page->childrenRect().bottom() + 1 + PageMargin);
    }
    const QSize pages = m_pageControl->minimumSizeHint().expandedTo(PageControlRect.size());
    m_pageControl->setGeometry(QRect(PageControlRect.topLeft(), pages));

    const int width = std::max(ClientSize.width(), pages.width() + 2 * PageControlRect.x());
    const int buttonsTop =
        m_pageControl->geometry().bottom() + 1 + (OkRect.top() - PageControlRect.bottom() - 1);
    const int shift = (width - ClientSize.width()) / 2;
    int bottom = 0;
    for (auto [button, rect] :
         {std::pair{m_okButton, OkRect}, std::pair{m_cancelButton, CancelRect}}) {
        const QSize hint = button->sizeHint().expandedTo(rect.size());
        button->setGeometry(rect.left() + shift, buttonsTop, hint.width(), hint.height());
        bottom = std::max(bottom, button->geometry().bottom() + 1);
    }
    setFixedSize(width, bottom + (ClientSize.height() - OkRect.bottom() - 1));
}

void PreferencesDialog::centreOnScreen()
{
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect area(QPoint(0, 0), size());
    area.moveCenter(screen->availableGeometry().center());
    move(area.topLeft());
}

void PreferencesDialog::loadValues()
{
    m_save = false;
    const PreferenceValues values = loadPreferences(m_settings, m_autostart);
    m_autoLoadCB->setChecked(values.autostart);
    m_confirmCB->setChecked(values.confirmClr);
    m_hideCB->setChecked(values.autoHide);
    m_defEditorCB->setChecked(values.defaultEditor);
    m_defSoundCB->setChecked(values.defaultSound);
    m_autoOffCB->setChecked(values.autoOff);
    m_editorEdit->setText(values.editor);
    m_soundEdit->setText(values.soundFile);
    m_splashCB->setChecked(values.showSplash);
    (values.dateStyle == 2   ? m_date2RB
     : values.dateStyle == 0 ? m_date0RB
                             : m_date1RB)
        ->setChecked(true);
    const std::map<StartChoice, std::pair<QRadioButton*, QRadioButton*>> choices = {
        {StartChoice::Remember, {m_rememberRB, m_rcRemRB}},
        {StartChoice::AlwaysOn, {m_alwaysOnRB, m_rcShowRB}},
        {StartChoice::AlwaysOff, {m_alwaysOffRB, m_rcHideRB}}};
    choices.at(values.autoOn).first->setChecked(true);
    choices.at(values.showRemote).second->setChecked(true);

    // The examples show the date only; the stamp line adds the time.
    const QDateTime now = QDateTime::currentDateTime();
    m_date1RB->setText(QStringLiteral("&Like this: ") +
                       shortDateText(now.date(), RegionalSettings::system()));
    m_date2RB->setText(QStringLiteral("Li&ke this: ") +
                       longDateText(now.date(), QLocale::system()));
    applyEnabling();
}

PreferenceValues PreferencesDialog::shownValues() const
{
    PreferenceValues values;
    values.autostart = m_autoLoadCB->isChecked();
    values.confirmClr = m_confirmCB->isChecked();
    values.autoHide = m_hideCB->isChecked();
    values.defaultEditor = m_defEditorCB->isChecked();
    values.defaultSound = m_defSoundCB->isChecked();
    values.autoOff = m_autoOffCB->isChecked();
    values.editor = m_editorEdit->text();
    values.soundFile = m_soundEdit->text();
    values.showSplash = m_splashCB->isChecked();
    values.dateStyle = m_date2RB->isChecked() ? 2 : m_date0RB->isChecked() ? 0 : 1;
    values.autoOn = m_alwaysOnRB->isChecked()    ? StartChoice::AlwaysOn
                    : m_alwaysOffRB->isChecked() ? StartChoice::AlwaysOff
                                                 : StartChoice::Remember;
    values.showRemote = m_rcShowRB->isChecked()   ? StartChoice::AlwaysOn
                        : m_rcHideRB->isChecked() ? StartChoice::AlwaysOff
                                                  : StartChoice::Remember;
    return values;
}

// A path and its "Select..." button are for choosing something other than
// the default, so they are enabled only while the default is not used.
void PreferencesDialog::applyEnabling()
{
    m_editorEdit->setEnabled(!m_defEditorCB->isChecked());
    m_edSelBtn->setEnabled(!m_defEditorCB->isChecked());
    m_soundEdit->setEnabled(!m_defSoundCB->isChecked());
    m_soundSelBtn->setEnabled(!m_defSoundCB->isChecked());
}

void PreferencesDialog::selectSoundFile()
{
    QString folder = existingFileFolder(m_soundEdit->text());
    if (folder.isEmpty()) {
        folder = m_settings.mediaFolder();
        if (folder.isEmpty() && QFileInfo(SoundsFolder).isDir())
            folder = SoundsFolder;
    }
    QFileDialog dialog(this, QString(), folder);
    dialog.setObjectName(QStringLiteral("SndOpenDialog"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("Wave files (*.wav)"), QStringLiteral("All files (*)")});
    if (const std::optional<QString> chosen = m_chooseFile(dialog))
        m_soundEdit->setText(QFileInfo(*chosen).absoluteFilePath());
}

void PreferencesDialog::selectEditor()
{
    QString folder = existingFileFolder(m_editorEdit->text());
    if (folder.isEmpty())
        folder = ProgramsFolder;
    QFileDialog dialog(this, QString(), folder);
    dialog.setObjectName(QStringLiteral("EdOpenDialog"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("All files (*)"));
    if (const std::optional<QString> chosen = m_chooseFile(dialog))
        m_editorEdit->setText(QFileInfo(*chosen).absoluteFilePath());
}

// Plays what the dialog shows, saved or not.
void PreferencesDialog::playShownSound()
{
    const QFileInfo shown(m_soundEdit->text());
    if (shown.isFile() && !m_defSoundCB->isChecked())
        SaveSound::playWaveFile(shown.absoluteFilePath());
    else
        SaveSound::playChime();
}

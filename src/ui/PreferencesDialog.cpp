#include "ui/PreferencesDialog.h"

#include "base/Locale.h"
#include "core/SaveSound.h"
#include "platform/Autostart.h"
#include "settings/Preferences.h"
#include "settings/Settings.h"
#include "ui/Icons.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <map>

namespace {

// The sizes the dialog was designed with at 96 pixels per inch: the least
// it takes; where the desktop's font needs more room, the layouts grow it.
constexpr QSize PagesMinimumSize(321, 177);
constexpr QSize ButtonMinimumSize(75, 25);
// The OK and Cancel buttons' places: 75 from the left edge, 45 apart.
constexpr int ButtonRowIndent = 67;
constexpr int ButtonGap = 45;
constexpr int DialogMargin = 8;
constexpr int ButtonRowTopGap = 7;
constexpr int BottomMargin = 5;
constexpr int RowGap = 7;
constexpr int PathFieldGap = 7;
constexpr int SoundFieldMinimumWidth = 185;
constexpr int EditorFieldMinimumWidth = 217;

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

QVBoxLayout* rowsOf(QWidget* page)
{
    return qobject_cast<QVBoxLayout*>(page->layout());
}

} // namespace

PreferencesDialog::PreferencesDialog(Settings& settings, Autostart& autostart, SaveSound& sound,
                                     QString programPath, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_settings(settings), m_autostart(autostart), m_sound(sound),
      m_programPath(std::move(programPath)), m_chooseFile(&runFileDialog)
{
    setObjectName(QStringLiteral("preferencesDialog"));
    setWindowTitle(QCoreApplication::translate("PreferencesDialog", "Preferences"));
    setFont(windowFont());

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("preferencePages"));
    // Every tab stays readable: no scroll buttons, no shortened captions.
    m_tabs->setUsesScrollButtons(false);
    m_tabs->setElideMode(Qt::ElideNone);
    m_tabs->setMinimumSize(PagesMinimumSize);
    buildPages();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(DialogMargin, DialogMargin, DialogMargin, BottomMargin);
    layout->setSpacing(ButtonRowTopGap);
    layout->addWidget(m_tabs);
    layout->addLayout(buildButtonRow());
    // A fixed dialog border: the size the contents need, no other.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    loadValues();
    // Sized for the captions now shown, in the style's metrics.
    ensurePolished();
    layout->activate();
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

// OK answers Enter; Enter on a focused button presses that button instead.
QLayout* PreferencesDialog::buildButtonRow()
{
    m_okButton = new QPushButton(Icons::acceptGlyph(),
                                 QCoreApplication::translate("PreferencesDialog", "OK"), this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, [this] {
        m_save = true;
        accept();
    });
    m_cancelButton = new QPushButton(
        Icons::cancelGlyph(), QCoreApplication::translate("PreferencesDialog", "Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    connect(m_cancelButton, &QPushButton::clicked, this, [this] {
        m_save = false;
        reject();
    });

    auto* row = new QHBoxLayout;
    row->addSpacing(ButtonRowIndent);
    row->addStretch(1);
    for (QPushButton* button : {m_okButton, m_cancelButton}) {
        button->setAutoDefault(true);
        button->setMinimumSize(ButtonMinimumSize);
        row->addWidget(button);
        if (button == m_okButton)
            row->addSpacing(ButtonGap);
    }
    row->addStretch(1);
    row->addSpacing(ButtonRowIndent);
    return row;
}

QWidget* PreferencesDialog::addPage(const char* name, const QString& caption, int leftMargin)
{
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(name));
    auto* rows = new QVBoxLayout(page);
    rows->setContentsMargins(leftMargin, DialogMargin, DialogMargin, DialogMargin);
    rows->setSpacing(RowGap);
    m_tabs->addTab(page, caption);
    return page;
}

QCheckBox* PreferencesDialog::addCheckBox(QWidget* page, const char* name, const QString& caption)
{
    auto* box = new QCheckBox(caption, page);
    box->setObjectName(QString::fromLatin1(name));
    rowsOf(page)->addWidget(box);
    return box;
}

QRadioButton* PreferencesDialog::addRadioButton(QWidget* page, const char* name,
                                                const QString& caption)
{
    auto* button = new QRadioButton(caption, page);
    button->setObjectName(QString::fromLatin1(name));
    rowsOf(page)->addWidget(button);
    return button;
}

// A read-only path without a border, in the colour of the buttons.
QLineEdit* PreferencesDialog::addPathField(QWidget* page, const char* name, int minimumWidth)
{
    auto* field = new QLineEdit(page);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setFrame(false);
    field->setMinimumWidth(minimumWidth);
    QPalette palette = field->palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, palette.color(group, QPalette::Button));
    field->setPalette(palette);
    return field;
}

QPushButton* PreferencesDialog::addSelectButton(QWidget* page, const char* name)
{
    auto* button = new QPushButton(
        Icons::browse(), QCoreApplication::translate("PreferencesDialog", "Select..."), page);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(true);
    button->setMinimumSize(ButtonMinimumSize);
    return button;
}

// The check box for the default over the path and its "Select..." button,
// a picture left of both where there is one, and a note of two lines below,
// broken where the dialog was designed to break it.
void PreferencesDialog::addFileChoice(QWidget* page, QWidget* picture, QCheckBox* useDefault,
                                      QLineEdit* path, QPushButton* select, const char* noteName,
                                      const QString& note)
{
    auto* grid = new QGridLayout;
    grid->setSpacing(0);
    grid->setHorizontalSpacing(PathFieldGap);
    const int first = picture ? 1 : 0;
    if (picture)
        grid->addWidget(picture, 0, 0, 2, 1, Qt::AlignCenter);
    grid->addWidget(useDefault, 0, first, 1, 2);
    grid->addWidget(path, 1, first);
    grid->addWidget(select, 1, first + 1);
    grid->setColumnStretch(first, 1);
    auto* label = new QLabel(note, page);
    label->setObjectName(QString::fromLatin1(noteName));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QVBoxLayout* rows = rowsOf(page);
    rows->addLayout(grid);
    rows->addSpacing(2 * RowGap);
    rows->addWidget(label);
    rows->addStretch(1);
}

// The rows of a page from the top, each page's tab order from the first
// row to the last unless set otherwise.
void PreferencesDialog::buildPages()
{
    constexpr int GeneralIndent = 16;
    QWidget* general = addPage(
        "generalPage", QCoreApplication::translate("PreferencesDialog", "&General"), GeneralIndent);
    m_autoLoadCheck = addCheckBox(
        general, "autostartBox",
        QCoreApplication::translate("PreferencesDialog", "&Load when starting the desktop"));
    m_splashCheck =
        addCheckBox(general, "splashBox",
                    QCoreApplication::translate("PreferencesDialog", "Show s&plash screen"));
    m_hideCheck = addCheckBox(general, "hideOnStartBox",
                              QCoreApplication::translate("PreferencesDialog", "&Hide on startup"));
    m_confirmCheck =
        addCheckBox(general, "confirmBox",
                    QCoreApplication::translate("PreferencesDialog", "&Confirmation boxes"));
    m_confirmCheck->setToolTip(QCoreApplication::translate(
        "PreferencesDialog", "If this item is checked Clipstow will ask your "
                             "confirmation\nbefore clearing files or the Clipboard."));
    // The splash box is the last stop of the page's tab order.
    setTabOrder(m_autoLoadCheck, m_hideCheck);
    setTabOrder(m_hideCheck, m_confirmCheck);
    setTabOrder(m_confirmCheck, m_splashCheck);
    rowsOf(general)->addStretch(1);

    QWidget* autoPage =
        addPage("autoModePage",
                QCoreApplication::translate("PreferencesDialog", "\"&Auto Clipstow\" Feature"),
                DialogMargin);
    m_autoRememberRadio =
        addRadioButton(autoPage, "autoRememberButton",
                       QCoreApplication::translate("PreferencesDialog", "R&emember last state"));
    m_autoOnRadio = addRadioButton(
        autoPage, "autoOnButton",
        QCoreApplication::translate("PreferencesDialog", "Always \"&On\" on startup"));
    m_autoOffRadio = addRadioButton(
        autoPage, "autoOffButton",
        QCoreApplication::translate("PreferencesDialog", "Always \"O&ff\" on startup"));
    m_editorAutoOffCheck =
        addCheckBox(autoPage, "autoOffWhenEditingBox",
                    QCoreApplication::translate("PreferencesDialog",
                                                "T&urn \"Auto Clipstow\" off when editing"));
    rowsOf(autoPage)->addStretch(1);

    // The two date captions are set when the values are loaded.
    QWidget* datePage = addPage(
        "datePage", QCoreApplication::translate("PreferencesDialog", "&Date Style"), DialogMargin);
    m_dateShortRadio = addRadioButton(datePage, "shortDateButton", QString());
    m_dateLongRadio = addRadioButton(datePage, "longDateButton", QString());
    m_dateNoneRadio = addRadioButton(
        datePage, "noDateButton",
        QCoreApplication::translate("PreferencesDialog", "Do&n't save date and time"));
    rowsOf(datePage)->addStretch(1);

    buildSoundPage();
    buildEditorPage();

    QWidget* remote = addPage(
        "remotePage", QCoreApplication::translate("PreferencesDialog", "\"&Remote Control\""),
        DialogMargin);
    m_remoteRememberRadio =
        addRadioButton(remote, "remoteRememberButton",
                       QCoreApplication::translate("PreferencesDialog", "R&emember last state"));
    m_remoteShowRadio =
        addRadioButton(remote, "remoteShowButton",
                       QCoreApplication::translate("PreferencesDialog", "Always sho&w on startup"));
    m_remoteHideRadio =
        addRadioButton(remote, "remoteHideButton",
                       QCoreApplication::translate("PreferencesDialog", "Always &hide on startup"));
    rowsOf(remote)->addStretch(1);
}

// The sound icon left of the check box and the path; the path's "Select..."
// button beside it; the note below.
void PreferencesDialog::buildSoundPage()
{
    constexpr int IconIndent = 4;
    QWidget* page = addPage("soundPage", QCoreApplication::translate("PreferencesDialog", "&Sound"),
                            IconIndent);
    m_defaultSoundCheck =
        new QCheckBox(QCoreApplication::translate("PreferencesDialog", "&Use default sound"), page);
    m_defaultSoundCheck->setObjectName(QStringLiteral("defaultSoundBox"));
    m_soundField = addPathField(page, "soundFileField", SoundFieldMinimumWidth);
    m_soundChooseButton = addSelectButton(page, "soundFileButton");

    // A picture, not a stop of the tab order.
    m_playSoundButton = new QToolButton(page);
    m_playSoundButton->setObjectName(QStringLiteral("playSoundButton"));
    m_playSoundButton->setIcon(Icons::playSound());
    m_playSoundButton->setIconSize(QSize(32, 32));
    m_playSoundButton->setAutoRaise(true);
    m_playSoundButton->setFocusPolicy(Qt::NoFocus);
    m_playSoundButton->setCursor(Qt::PointingHandCursor);
    m_playSoundButton->setToolTip(
        QCoreApplication::translate("PreferencesDialog", "Click to play"));

    addFileChoice(
        page, m_playSoundButton, m_defaultSoundCheck, m_soundField, m_soundChooseButton,
        "soundNote",
        QCoreApplication::translate("PreferencesDialog",
                                    "Please choose the wave file that will be played after each\n"
                                    "clipstowing."));

    connect(m_defaultSoundCheck, &QCheckBox::toggled, this, &PreferencesDialog::applyEnabling);
    connect(m_soundChooseButton, &QPushButton::clicked, this, &PreferencesDialog::selectSoundFile);
    connect(m_playSoundButton, &QToolButton::clicked, this, &PreferencesDialog::playShownSound);
}

void PreferencesDialog::buildEditorPage()
{
    QWidget* page =
        addPage("editorPage", QCoreApplication::translate("PreferencesDialog", "&Text Editor"),
                DialogMargin);
    m_defaultEditorCheck = new QCheckBox(
        QCoreApplication::translate("PreferencesDialog", "Use default &editor"), page);
    m_defaultEditorCheck->setObjectName(QStringLiteral("defaultEditorBox"));
    m_editorField = addPathField(page, "editorField", EditorFieldMinimumWidth);
    m_editorChooseButton = addSelectButton(page, "editorButton");

    addFileChoice(page, nullptr, m_defaultEditorCheck, m_editorField, m_editorChooseButton,
                  "editorNote",
                  QCoreApplication::translate(
                      "PreferencesDialog", "Please choose the application that will be launched\n"
                                           "when you click \"Edit in Text Editor\"."));

    connect(m_defaultEditorCheck, &QCheckBox::toggled, this, &PreferencesDialog::applyEnabling);
    connect(m_editorChooseButton, &QPushButton::clicked, this, &PreferencesDialog::selectEditor);
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
    m_autoLoadCheck->setChecked(values.autostart);
    m_confirmCheck->setChecked(values.confirmClr);
    m_hideCheck->setChecked(values.autoHide);
    m_defaultEditorCheck->setChecked(values.defaultEditor);
    m_defaultSoundCheck->setChecked(values.defaultSound);
    m_editorAutoOffCheck->setChecked(values.autoOff);
    m_editorField->setText(values.editor);
    m_soundField->setText(values.soundFile);
    m_splashCheck->setChecked(values.showSplash);
    (values.dateStyle == 2   ? m_dateLongRadio
     : values.dateStyle == 0 ? m_dateNoneRadio
                             : m_dateShortRadio)
        ->setChecked(true);
    const std::map<StartChoice, std::pair<QRadioButton*, QRadioButton*>> choices = {
        {StartChoice::Remember, {m_autoRememberRadio, m_remoteRememberRadio}},
        {StartChoice::AlwaysOn, {m_autoOnRadio, m_remoteShowRadio}},
        {StartChoice::AlwaysOff, {m_autoOffRadio, m_remoteHideRadio}}};
    choices.at(values.autoOn).first->setChecked(true);
    choices.at(values.showRemote).second->setChecked(true);

    // The examples show the date only; the stamp line adds the time.
    const QDateTime now = QDateTime::currentDateTime();
    m_dateShortRadio->setText(QCoreApplication::translate("PreferencesDialog", "&Like this: ") +
                              shortDateText(now.date(), RegionalSettings::system()));
    m_dateLongRadio->setText(QCoreApplication::translate("PreferencesDialog", "Li&ke this: ") +
                             longDateText(now.date(), QLocale::system()));
    applyEnabling();
}

PreferenceValues PreferencesDialog::shownValues() const
{
    PreferenceValues values;
    values.autostart = m_autoLoadCheck->isChecked();
    values.confirmClr = m_confirmCheck->isChecked();
    values.autoHide = m_hideCheck->isChecked();
    values.defaultEditor = m_defaultEditorCheck->isChecked();
    values.defaultSound = m_defaultSoundCheck->isChecked();
    values.autoOff = m_editorAutoOffCheck->isChecked();
    values.editor = m_editorField->text();
    values.soundFile = m_soundField->text();
    values.showSplash = m_splashCheck->isChecked();
    values.dateStyle = m_dateLongRadio->isChecked() ? 2 : m_dateNoneRadio->isChecked() ? 0 : 1;
    values.autoOn = m_autoOnRadio->isChecked()    ? StartChoice::AlwaysOn
                    : m_autoOffRadio->isChecked() ? StartChoice::AlwaysOff
                                                  : StartChoice::Remember;
    values.showRemote = m_remoteShowRadio->isChecked()   ? StartChoice::AlwaysOn
                        : m_remoteHideRadio->isChecked() ? StartChoice::AlwaysOff
                                                         : StartChoice::Remember;
    return values;
}

// A path and its "Select..." button are for choosing something other than
// the default, so they are enabled only while the default is not used.
void PreferencesDialog::applyEnabling()
{
    m_editorField->setEnabled(!m_defaultEditorCheck->isChecked());
    m_editorChooseButton->setEnabled(!m_defaultEditorCheck->isChecked());
    m_soundField->setEnabled(!m_defaultSoundCheck->isChecked());
    m_soundChooseButton->setEnabled(!m_defaultSoundCheck->isChecked());
}

void PreferencesDialog::selectSoundFile()
{
    QString folder = existingFileFolder(m_soundField->text());
    if (folder.isEmpty()) {
        folder = m_settings.mediaFolder();
        if (folder.isEmpty() && QFileInfo(SoundsFolder).isDir())
            folder = SoundsFolder;
    }
    QFileDialog dialog(this, QString(), folder);
    dialog.setObjectName(QStringLiteral("soundFileDialog"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QCoreApplication::translate("PreferencesDialog", "Wave files (*.wav)"),
                           QCoreApplication::translate("PreferencesDialog", "All files (*)")});
    if (const std::optional<QString> chosen = m_chooseFile(dialog))
        m_soundField->setText(QFileInfo(*chosen).absoluteFilePath());
}

void PreferencesDialog::selectEditor()
{
    QString folder = existingFileFolder(m_editorField->text());
    if (folder.isEmpty())
        folder = ProgramsFolder;
    QFileDialog dialog(this, QString(), folder);
    dialog.setObjectName(QStringLiteral("editorFileDialog"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QCoreApplication::translate("PreferencesDialog", "All files (*)"));
    if (const std::optional<QString> chosen = m_chooseFile(dialog))
        m_editorField->setText(QFileInfo(*chosen).absoluteFilePath());
}

// Plays what the dialog shows, saved or not.
void PreferencesDialog::playShownSound()
{
    const QFileInfo shown(m_soundField->text());
    if (shown.isFile() && !m_defaultSoundCheck->isChecked())
        m_sound.playWaveFile(shown.absoluteFilePath());
    else
        m_sound.playChime();
}

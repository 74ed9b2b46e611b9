#pragma once

#include <QDialog>
#include <functional>
#include <optional>

class Autostart;
class SaveSound;
class Settings;
class QAbstractButton;
class QCheckBox;
class QFileDialog;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
struct PreferenceValues;

// The modal Preferences dialog: the user-settable values on six pages. It
// reads them when it is created and writes them back when it closes after
// OK; Cancel, Esc and the close box write nothing. Make a new one for every
// showing.
class PreferencesDialog final : public QDialog
{
    Q_OBJECT

public:
    // Shows a file dialog set up by the caller; the chosen file, or nullopt
    // when the user cancels. Tests replace it so that nothing blocks.
    using FileChooser = std::function<std::optional<QString>(QFileDialog& dialog)>;

    // autostart tells and changes whether the program starts with the
    // desktop session; programPath is what it starts; sound plays the sound
    // the dialog shows.
    PreferencesDialog(Settings& settings, Autostart& autostart, SaveSound& sound,
                      QString programPath, QWidget* parent = nullptr);
    ~PreferencesDialog() override;

    void setFileChooser(FileChooser chooser);
    static std::optional<QString> runFileDialog(QFileDialog& dialog);

    // Closes the dialog; the values are written only when OK closed it.
    void done(int result) override;

private:
    QWidget* addPage(const char* name, const QString& caption, int leftMargin);
    QCheckBox* addCheckBox(QWidget* page, const char* name, const QString& caption);
    QRadioButton* addRadioButton(QWidget* page, const char* name, const QString& caption);
    QLineEdit* addPathField(QWidget* page, const char* name, int minimumWidth);
    QPushButton* addSelectButton(QWidget* page, const char* name);
    void addFileChoice(QWidget* page, QWidget* picture, QCheckBox* useDefault, QLineEdit* path,
                       QPushButton* select, const char* noteName, const QString& note);
    void buildPages();
    void buildSoundPage();
    void buildEditorPage();
    QLayout* buildButtonRow();
    void centreOnScreen();

    void loadValues();
    PreferenceValues shownValues() const;
    void applyEnabling();
    void selectSoundFile();
    void selectEditor();
    void playShownSound();

    Settings& m_settings;
    Autostart& m_autostart;
    SaveSound& m_sound;
    QString m_programPath;
    FileChooser m_chooseFile;
    // Set by OK; the values are written on close only while it is set.
    bool m_save = false;

    QTabWidget* m_tabs = nullptr;
    QCheckBox* m_autoLoadCheck = nullptr;
    QCheckBox* m_hideCheck = nullptr;
    QCheckBox* m_confirmCheck = nullptr;
    QCheckBox* m_splashCheck = nullptr;
    QRadioButton* m_autoRememberRadio = nullptr;
    QRadioButton* m_autoOnRadio = nullptr;
    QRadioButton* m_autoOffRadio = nullptr;
    QCheckBox* m_editorAutoOffCheck = nullptr;
    QRadioButton* m_dateShortRadio = nullptr;
    QRadioButton* m_dateLongRadio = nullptr;
    QRadioButton* m_dateNoneRadio = nullptr;
    QCheckBox* m_defaultSoundCheck = nullptr;
    QLineEdit* m_soundField = nullptr;
    QPushButton* m_soundChooseButton = nullptr;
    QToolButton* m_playSoundButton = nullptr;
    QCheckBox* m_defaultEditorCheck = nullptr;
    QLineEdit* m_editorField = nullptr;
    QPushButton* m_editorChooseButton = nullptr;
    QRadioButton* m_remoteRememberRadio = nullptr;
    QRadioButton* m_remoteShowRadio = nullptr;
    QRadioButton* m_remoteHideRadio = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

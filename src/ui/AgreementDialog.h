#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class Settings;

// The first-run agreement: the agreement text and two buttons. "I Accept"
// records the date and time of acceptance in "AcceptedLicense"; "I Do Not
// Accept" and Esc record "Never"; the close box records nothing. What
// follows each outcome is the caller's.
class AgreementDialog final : public QDialog
{
    Q_OBJECT

public:
    enum class Outcome
    {
        Accepted,
        Declined,
        Closed
    };

    // The answer is recorded in settings.
    AgreementDialog(Settings& settings, const QString& text, QWidget* parent = nullptr);

    Outcome outcome() const { return m_outcome; }
    QPlainTextEdit* textView() const { return m_textView; }
    QPushButton* acceptButton() const { return m_agreeButton; }
    QPushButton* declineButton() const { return m_notAgreeButton; }

    // The agreement for this start: the slot files as the settings name them
    // in the current folder, and the project's licence.
    static QString textForThisStart(const Settings& settings);

    // Shows the agreement modally and answers how it ended.
    static Outcome run(Settings& settings, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void acceptClicked();
    void declineClicked();

    Settings& m_settings;
    QPlainTextEdit* m_textView = nullptr;
    QPushButton* m_agreeButton = nullptr;
    QPushButton* m_notAgreeButton = nullptr;
    Outcome m_outcome = Outcome::Closed;
};

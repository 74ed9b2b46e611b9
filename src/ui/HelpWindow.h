#pragma once

#include <QWidget>
#include <array>

class QAction;
class QPlainTextEdit;
class QPushButton;
class ErrorReporter;
class Settings;

// The built-in help: one of four texts in a read-only viewer, chosen by a
// row of buttons, a button that opens the web site, and a legend of the
// tray icon's two pictures. It is not modal and is kept once created:
// closing it only hides it, and it shows the same text when it comes back.
class HelpWindow final : public QWidget
{
    Q_OBJECT

public:
    enum class Topic
    {
        Features,
        HowToUse,
        More,
        License
    };
    static constexpr int TopicCount = 4;
    static constexpr int MinimumWidth = 450;
    static constexpr int MinimumHeight = 150;

    // parent only keeps the window alive; it is a window of its own. The
    // settings give it the slots' font.
    HelpWindow(Settings& settings, ErrorReporter& errors, QWidget* parent = nullptr);

    // Replaces the viewer's text with the topic's, shown from its start.
    void showTopic(Topic topic);
    Topic topic() const { return m_topic; }
    // The topic's text as the resources hold it, in the installed language
    // where there is a text in it.
    static QString topicText(Topic topic);

    // Shows the window and brings it forward.
    void present();

    QPushButton* topicButton(Topic topic) const;
    QPushButton* websiteButton() const { return m_websiteButton; }
    QPlainTextEdit* viewer() const { return m_viewer; }
    QAction* copyAction() const { return m_copyAction; }
    QAction* selectAllAction() const { return m_selectAllAction; }

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildButtonRow();
    QWidget* buildLegend();
    void applyStoredFont();

    Topic m_topic = Topic::Features;
    std::array<QPushButton*, TopicCount> m_topicButtons{};
    QPushButton* m_websiteButton = nullptr;
    QPlainTextEdit* m_viewer = nullptr;
    QAction* m_copyAction = nullptr;
    QAction* m_selectAllAction = nullptr;
    // The last failure to read the stored font, reported once only: the
    // error box takes the focus, and getting it back would report it again.
    Settings& m_settings;
    ErrorReporter& m_errors;
};

#pragma once

#include <QDialog>

class QLabel;
class QTimer;
class QToolButton;

// The picture window of the program's start and of its About command. At
// start it closes itself after two seconds and has no close button; as the
// About box it has one and stays until closed. In both, Esc and a
// double-click on the picture close it, the credit line opens a mail to
// the makers and the maker's picture opens the web site.
class SplashWindow final : public QDialog
{
    Q_OBJECT

public:
    enum class Mode
    {
        Startup,
        About
    };
    static constexpr int StartupDurationMs = 2000;

    explicit SplashWindow(Mode mode, QWidget* parent = nullptr);

    Mode mode() const { return m_mode; }
    QLabel* picture() const { return m_picture; }
    QLabel* buildLabel() const { return m_buildLabel; }
    QLabel* creditLabel() const { return m_creditLabel; }
    QLabel* taglineLabel() const { return m_taglineLabel; }
    QToolButton* webSiteButton() const { return m_webSiteButton; }
    QToolButton* closeButton() const { return m_closeButton; }

    // Creates the window in mode, shows it modally and frees it.
    static void run(Mode mode, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPicture();
    void buildLabels();
    void buildButtons();
    void buildLayout();
    void highlightCredit(bool on);

    Mode m_mode;
    QLabel* m_picture = nullptr;
    QLabel* m_buildLabel = nullptr;
    QLabel* m_creditLabel = nullptr;
    QLabel* m_taglineLabel = nullptr;
    QToolButton* m_webSiteButton = nullptr;
    QToolButton* m_closeButton = nullptr;
    QTimer* m_timer = nullptr;
};

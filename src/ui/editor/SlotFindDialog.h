#pragma once

#include <QDialog>
#include <QPoint>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The modeless find dialog of one slot editor: find text (at most
// MaxFindText characters), whole words only, match case, direction up or
// down, "Find Next" and "Cancel". Cancel and the close box only hide it;
// text, options and position stay for the next showing.
class SlotFindDialog final : public QDialog
{
    Q_OBJECT

public:
    static constexpr int MaxFindText = 255;

    explicit SlotFindDialog(QWidget* parent);

    QString findText() const;
    void setFindText(const QString& text);
    bool matchCase() const;
    void setMatchCase(bool on);
    bool wholeWord() const;
    bool searchDown() const;
    void setSearchDown(bool down);

    // Where the dialog was when it was last hidden.
    QPoint lastPosition() const { return m_lastPosition; }

    QLineEdit* findField() const { return m_findField; }
    QPushButton* findNextButton() const { return m_findNext; }

Q_SIGNALS:
    // The user pressed "Find Next".
    void findNextRequested();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    // Puts the chosen direction button first of the two in the Tab order.
    void orderDirectionButtons();

    QLineEdit* m_findField;
    QCheckBox* m_wholeWord;
    QCheckBox* m_matchCase;
    QRadioButton* m_up;
    QRadioButton* m_down;
    QPushButton* m_findNext;
    QPushButton* m_cancel = nullptr;
    QPoint m_lastPosition;
};

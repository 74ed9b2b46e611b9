#pragma once

#include <QWidget>

class SlotEditor;

// The narrow strip at the left edge of a slot editor: a click selects the
// line (paragraph) beside it together with its line break; dragging extends
// the selection line by line.
class SlotSelectionBar final : public QWidget
{
    Q_OBJECT

public:
    explicit SlotSelectionBar(SlotEditor* editor);

    int barWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int lineAt(int y) const;
    void selectLines(int fromLine, int toLine);

    SlotEditor* m_editor;
    int m_anchorLine = -1;
};

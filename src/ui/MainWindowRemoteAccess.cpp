// What the remote window needs of the main window beyond its commands.
#include "ui/MainWindow.h"

#include <QTabWidget>
#include <algorithm>

void TMainForm::SetActivePage(int slot)
{
    // Only a click on a tab runs the change routine; this sets the page alone.
    m_pageControl->setCurrentWidget(m_tabSheets[std::clamp(slot, 1, 3) - 1]);
}

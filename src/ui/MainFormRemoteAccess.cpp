// What the remote window needs of the main window beyond its commands.
#include "ui/MainForm.h"

#include <QScopedValueRollback>
#include <QTabWidget>
#include <algorithm>

void TMainForm::SetActivePage(int slot)
{
    // Only the user's choice of tab runs the change routine; this sets the
    // page alone.
    const QScopedValueRollback setting(m_settingPage, true);
    m_pageControl->setCurrentWidget(m_tabSheets[std::clamp(slot, 1, 3) - 1]);
}

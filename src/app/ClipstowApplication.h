#pragma once

#include <QApplication>

// The application object. Every event handler runs inside notify(), so a
// failure raised by any command, timer or clipboard notification ends that
// handler here, is shown in the error box, and the program goes on.
class ClipstowApplication final : public QApplication
{
public:
    ClipstowApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

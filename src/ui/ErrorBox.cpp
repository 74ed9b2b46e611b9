#include "ui/ErrorBox.h"

#include "core/ErrorReporter.h"

#include <QApplication>
#include <QMessageBox>

namespace ErrorBox {

void install(ErrorReporter& errors)
{
    errors.setPresenter([](const QString& text) {
        QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text,
                        QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    });
}

} // namespace ErrorBox

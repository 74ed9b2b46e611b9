// Test helper: takes the clipboard with several formats at once (which
// xclip cannot do) and keeps serving it until it is stopped (at the latest
// after two minutes). Usage: clipboard-owner TEXT [TYPE=VALUE ...]. Prints "ready" once
// it owns the clipboard.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: clipboard-owner TEXT [TYPE=VALUE ...]\n");
        return 2;
    }
    auto* data = new QMimeData;
    data->setText(args.first());
    for (const QString& pair : args.mid(1)) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        if (equals > 0)
            data->setData(pair.left(equals), pair.mid(equals + 1).toUtf8());
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setMimeData(data, QClipboard::Clipboard);
    std::printf("ready\n");
    std::fflush(stdout);
    QTimer::singleShot(120000, &app, &QCoreApplication::quit);
    return app.exec();
}

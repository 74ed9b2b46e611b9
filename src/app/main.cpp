#include "app/ClipstowApplication.h"

int main(int argc, char** argv)
{
    ClipstowApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Clipstow"));
    return 0;
}

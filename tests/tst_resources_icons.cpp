// Checks the compiled-in pictures: every icon drawing loads and renders with Qt's
// SVG renderer without warnings, the named accessors reach existing drawings, the
// image lists have distinct pictures, the two program icons are told apart at
// tray size, and the splash picture is a JPEG of the splash window's size.

#include "support/TestMain.h"
#include "ui/Icons.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QtTest>
#include <functional>

namespace {

QImage renderSvg(const QString& path, int size)
{
    QSvgRenderer renderer(path);
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

QImage iconImage(const QIcon& icon, int size)
{
    return icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
}

int opaquePixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) >= 128)
                ++count;
    return count;
}

int differingPixels(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                ++count;
    return count;
}

QStringList svgWarnings;

void collectSvgWarnings(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    if (QByteArray(context.category ? context.category : "").startsWith("qt.svg"))
        svgWarnings << message;
}

// Qt draws SVG Tiny 1.2 only and skips anything else without a word: filters,
// masks, clipping, style sheets and classes would silently change a picture.
QStringList unsupportedFeatures(const QString& path)
{
    static const QStringList elements = {"svg",     "title",   "desc", "g",    "rect",
                                         "circle",  "ellipse", "line", "path", "polyline",
                                         "polygon", "text",    "tspan"};
    static const QStringList attributes = {"class", "style", "filter", "mask", "clip-path"};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("unreadable")};
    QStringList found;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (!elements.contains(xml.name().toString()))
            found << xml.name().toString();
        for (const QXmlStreamAttribute& attribute : xml.attributes())
            if (attributes.contains(attribute.name().toString()))
                found << attribute.name().toString();
    }
    if (xml.hasError())
        found << xml.errorString();
    return found;
}

using Accessor = std::function<QIcon()>;

} // namespace

Q_DECLARE_METATYPE(Accessor)

class TestResourcesIcons : public QObject
{
    Q_OBJECT

    static void verifyDistinct(QIcon (*image)(int), int count)
    {
        QList<QImage> images;
        for (int i = 0; i < count; ++i)
            images << iconImage(image(i), 16);
        for (int i = 0; i < count; ++i)
            for (int j = i + 1; j < count; ++j)
                QVERIFY2(differingPixels(images[i], images[j]) >= 8,
                         qPrintable(QStringLiteral("images %1 and %2 look alike").arg(i).arg(j)));
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(Icons::allIconPaths().size() >= 35); }

    void drawing_rendersCleanly_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString& path : Icons::allIconPaths())
            QTest::newRow(qPrintable(path)) << path;
    }

    void drawing_rendersCleanly()
    {
        QFETCH(QString, path);
        svgWarnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectSvgWarnings);
        QSvgRenderer renderer(path);
        const bool valid = renderer.isValid();
        const QImage small = renderSvg(path, 16);
        const QImage large = renderSvg(path, 32);
        qInstallMessageHandler(previous);

        QVERIFY(valid);
        QVERIFY2(svgWarnings.isEmpty(), qPrintable(svgWarnings.join(QLatin1Char('\n'))));
        QCOMPARE(renderer.viewBoxF(), QRectF(0, 0, 16, 16));
        // A glyph thinner than a few pixels would vanish on a toolbar.
        QVERIFY2(opaquePixels(small) >= 24, qPrintable(QString::number(opaquePixels(small))));
        QVERIFY(opaquePixels(large) >= 4 * 24);
    }

    void drawing_usesOnlyTinyFeatures_data()
    {
        drawing_rendersCleanly_data();
        QTest::newRow("splash source")
            << QStringLiteral(CLIPSTOW_SOURCE_DIR "/resources/splash.svg");
    }

    void drawing_usesOnlyTinyFeatures()
    {
        QFETCH(QString, path);
        const QStringList found = unsupportedFeatures(path);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char(' '))));
    }

    void drawing_loadsAsIcon_data() { drawing_rendersCleanly_data(); }

    void drawing_loadsAsIcon()
    {
        QFETCH(QString, path);
        const QIcon icon(path);
        QVERIFY(!icon.isNull());
        for (int size : {16, 32}) {
            const QImage image = iconImage(icon, size);
            QCOMPARE(image.size(), QSize(size, size));
            QVERIFY(opaquePixels(image) > 0);
        }
    }

    void accessor_reachesDrawing_data()
    {
        QTest::addColumn<Accessor>("accessor");
        QTest::newRow("programIcon") << Accessor(&Icons::programIcon);
        QTest::newRow("autoProgramIcon") << Accessor(&Icons::autoProgramIcon);
        QTest::newRow("saveAs") << Accessor(&Icons::saveAs);
        QTest::newRow("print") << Accessor(&Icons::print);
        QTest::newRow("exitProgram") << Accessor(&Icons::exitProgram);
        QTest::newRow("hideWindow") << Accessor(&Icons::hideWindow);
        QTest::newRow("showMainWindow") << Accessor(&Icons::showMainWindow);
        QTest::newRow("font") << Accessor(&Icons::font);
        QTest::newRow("setFilename") << Accessor(&Icons::setFilename);
        QTest::newRow("find") << Accessor(&Icons::find);
        QTest::newRow("findNext") << Accessor(&Icons::findNext);
        QTest::newRow("help") << Accessor(&Icons::help);
        QTest::newRow("about") << Accessor(&Icons::about);
        QTest::newRow("support") << Accessor(&Icons::support);
        QTest::newRow("clipboardViewer") << Accessor(&Icons::clipboardViewer);
        QTest::newRow("undo") << Accessor(&Icons::undo);
        QTest::newRow("cut") << Accessor(&Icons::cut);
        QTest::newRow("copy") << Accessor(&Icons::copy);
        QTest::newRow("paste") << Accessor(&Icons::paste);
        QTest::newRow("selectAll") << Accessor(&Icons::selectAll);
        QTest::newRow("closeGlyph") << Accessor(&Icons::closeGlyph);
        QTest::newRow("acceptGlyph") << Accessor(&Icons::acceptGlyph);
        QTest::newRow("cancelGlyph") << Accessor(&Icons::cancelGlyph);
        QTest::newRow("playSound") << Accessor(&Icons::playSound);
        QTest::newRow("browse") << Accessor(&Icons::browse);
        for (int i = 0; i < Icons::ToolbarImageCount; ++i)
            QTest::addRow("toolbar %d", i) << Accessor([i] { return Icons::toolbarImage(i); });
        for (int i = 0; i < Icons::RemoteImageCount; ++i)
            QTest::addRow("remote %d", i) << Accessor([i] { return Icons::remoteImage(i); });
    }

    void accessor_reachesDrawing()
    {
        QFETCH(Accessor, accessor);
        const QIcon icon = accessor();
        QVERIFY(!icon.isNull());
        QVERIFY(opaquePixels(iconImage(icon, 16)) >= 24);
    }

    void imageLists_outOfRange_giveNoPicture_data()
    {
        QTest::addColumn<Accessor>("accessor");
        QTest::newRow("toolbar -1") << Accessor([] { return Icons::toolbarImage(-1); });
        QTest::newRow("toolbar 8") << Accessor([] { return Icons::toolbarImage(8); });
        QTest::newRow("remote -1") << Accessor([] { return Icons::remoteImage(-1); });
        QTest::newRow("remote 4") << Accessor([] { return Icons::remoteImage(4); });
        QTest::newRow("slot 0") << Accessor([] { return Icons::slot(0); });
        QTest::newRow("slot 4") << Accessor([] { return Icons::slot(4); });
    }

    void imageLists_outOfRange_giveNoPicture()
    {
        QFETCH(Accessor, accessor);
        QVERIFY(accessor().isNull());
    }

    void toolbarImages_areDistinct()
    {
        verifyDistinct(&Icons::toolbarImage, Icons::ToolbarImageCount);
    }

    void remoteImages_areDistinct()
    {
        verifyDistinct(&Icons::remoteImage, Icons::RemoteImageCount);
    }

    void remoteSlots_matchSlotNumbers()
    {
        for (int n = 1; n <= 3; ++n)
            QCOMPARE(iconImage(Icons::remoteImage(n - 1), 16), iconImage(Icons::slot(n), 16));
        QCOMPARE(iconImage(Icons::remoteImage(3), 16), iconImage(Icons::autoMode(), 16));
    }

    void programIcons_differAtTraySize()
    {
        const QImage normal = iconImage(Icons::programIcon(), 16);
        const QImage automatic = iconImage(Icons::autoProgramIcon(), 16);
        QCOMPARE(normal.size(), automatic.size());
        // Same outline, so the program stays recognisable; but at least a fifth of
        // the pixels change so the state shows at a glance in the tray.
        QCOMPARE(opaquePixels(normal) > 0, true);
        QVERIFY2(differingPixels(normal, automatic) >= 16 * 16 / 5,
                 qPrintable(QString::number(differingPixels(normal, automatic))));
    }

    void splashPicture_isJpegOfWindowSize()
    {
        const QByteArray data = Icons::splashPictureData();
        QVERIFY(data.startsWith("\xFF\xD8\xFF"));
        QImage image;
        QVERIFY(image.loadFromData(data, "JPEG"));
        QCOMPARE(image.size(), QSize(Icons::SplashWidth, Icons::SplashHeight));
        // Artwork on it, not a blank picture.
        const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
        int dark = 0;
        for (int y = 0; y < grey.height(); ++y)
            for (int x = 0; x < grey.width(); ++x)
                dark += qGray(grey.pixel(x, y)) < 160 ? 1 : 0;
        QVERIFY(dark > image.width() * image.height() / 100);
        // The window writes the credit line and the build date over the picture
        // in window-text colour: those bands must stay light for the text to read.
        for (const QRect& band : {QRect(119, 46, 145, 14), QRect(120, 116, 145, 14)}) {
            qint64 sum = 0;
            for (int y = band.top(); y <= band.bottom(); ++y)
                for (int x = band.left(); x <= band.right(); ++x)
                    sum += qGray(grey.pixel(x, y));
            QVERIFY2(sum / (band.width() * band.height()) > 235, qPrintable(QString::number(sum)));
        }
    }
};

CLIPSTOW_TEST_MAIN(TestResourcesIcons)
#include "tst_resources_icons.moc"

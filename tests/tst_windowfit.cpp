// Where a stored window frame lands on the screens there are now: sizes
// limited to the screens and the window's minimum, frames brought wholly
// onto a screen, whatever numbers the settings hold.
#include "core/WindowFit.h"
#include "support/TestMain.h"

#include <QTest>
#include <limits>

using Edges = std::array<int, 4>;
Q_DECLARE_METATYPE(Edges)

class TestWindowFit final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void storedFrameOnScreens_data()
    {
        QTest::addColumn<Edges>("edges");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<bool>("resizable");
        QTest::addColumn<QList<QRect>>("areas");
        QTest::addColumn<QRect>("frame");

        constexpr int Max = std::numeric_limits<int>::max();
        constexpr int Min = std::numeric_limits<int>::min();
        const QList<QRect> one{QRect(0, 0, 1280, 800)};
        const QList<QRect> two{QRect(0, 0, 1280, 800), QRect(1280, 0, 1280, 800)};
        const QSize main(408, 165);
        const QSize remote(118, 45);
        QTest::newRow("on screen: as stored")
            << Edges{100, 120, 602, 595} << main << true << one << QRect(100, 120, 502, 475);
        QTest::newRow("huge stored size: the screen's")
            << Edges{0, 0, 30000, 30000} << main << true << one << QRect(0, 0, 1280, 800);
        QTest::newRow("largest numbers")
            << Edges{Max, Max, Max, Max} << main << true << one << QRect(872, 635, 408, 165);
        QTest::newRow("smallest to largest numbers")
            << Edges{Min, Min, Max, Max} << main << true << one << QRect(0, 0, 1280, 800);
        QTest::newRow("largest to smallest numbers")
            << Edges{Max, Max, Min, Min} << main << true << one << QRect(872, 635, 408, 165);
        QTest::newRow("below the minimum: the minimum")
            << Edges{10, 10, 20, 20} << main << true << one << QRect(10, 10, 408, 165);
        QTest::newRow("main window 9 px past the right edge")
            << Edges{880, 100, 1289, 400} << main << true << one << QRect(871, 100, 409, 300);
        QTest::newRow("remote window 41 px below the screen")
            << Edges{600, 796, 718, 841} << remote << false << one << QRect(600, 755, 118, 45);
        QTest::newRow("far off every screen: the nearest")
            << Edges{-6000, 9000, -5500, 9400} << main << true << two << QRect(0, 400, 500, 400);
        QTest::newRow("across two screens: stays")
            << Edges{1000, 100, 1600, 500} << main << true << two << QRect(1000, 100, 600, 400);
        QTest::newRow("partly beyond two screens: onto the one it overlaps most")
            << Edges{2300, 100, 2720, 500} << main << true << two << QRect(2140, 100, 420, 400);
        QTest::newRow("no screens: limited numbers only")
            << Edges{Min, 0, Max, 10} << main << true << QList<QRect>{}
            << QRect(-(1 << 24), 0, 1 << 24, 165);
    }
    void storedFrameOnScreens()
    {
        QFETCH(Edges, edges);
        QFETCH(QSize, minimum);
        QFETCH(bool, resizable);
        QFETCH(QList<QRect>, areas);
        QFETCH(QRect, frame);
        const QSize limit = resizable ? WindowFit::extent(areas) : minimum;
        const QRect stored = WindowFit::storedFrame(edges, minimum, limit);
        QCOMPARE(WindowFit::ontoScreens(stored, areas, resizable), frame);
    }

    // A fixed window larger than the screen keeps its size with its top
    // left corner (its title bar) on the screen.
    void fixedFrameLargerThanScreen()
    {
        const QList<QRect> areas{QRect(0, 24, 1280, 776)};
        QCOMPARE(WindowFit::ontoScreens(QRect(-50, -50, 2000, 1000), areas, false),
                 QRect(0, 24, 2000, 1000));
    }
};

CLIPSTOW_TEST_GUILESS_MAIN(TestWindowFit)
#include "tst_windowfit.moc"

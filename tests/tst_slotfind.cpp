// Finding text in a slot editor: the search (directions, whole words, case,
// no wrap-around), the dialog's text and placement, and the per-editor last
// search that RepeatFind repeats.
#include "core/SlotFindLogic.h"
#include "support/TestMain.h"
#include "ui/editor/SlotEditor.h"
#include "ui/editor/SlotFindDialog.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

void select(SlotEditor& editor, int start, int end)
{
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
}

} // namespace

class TestSlotFind final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selEnd");
        QTest::addColumn<bool>("down");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<int>("found");
        // Caret after the only match: down finds nothing, up finds it.
        QTest::newRow("down after only match") << "a cat"
                                               << "cat" << 5 << 5 << true << false << false << -1;
        QTest::newRow("up from after match") << "a cat"
                                             << "cat" << 5 << 5 << false << false << false << 2;
        QTest::newRow("down from start") << "a cat cat"
                                         << "cat" << 0 << 0 << true << false << false << 2;
        QTest::newRow("down skips selection") << "a cat cat"
                                              << "cat" << 2 << 5 << true << false << false << 6;
        QTest::newRow("down starts at selection end")
            << "catcat"
            << "cat" << 0 << 3 << true << false << false << 3;
        QTest::newRow("up before selection") << "cat cat cat"
                                             << "cat" << 8 << 11 << false << false << false << 4;
        QTest::newRow("up must end before selection")
            << "cat"
            << "cat" << 2 << 2 << false << false << false << -1;
        QTest::newRow("up overlapping takes last")
            << "aaa"
            << "aa" << 3 << 3 << false << false << false << 1;
        QTest::newRow("case off") << "A CAT"
                                  << "cat" << 0 << 0 << true << false << false << 2;
        QTest::newRow("case on misses") << "A CAT"
                                        << "cat" << 0 << 0 << true << true << false << -1;
        QTest::newRow("case on finds") << "Cat cat"
                                       << "cat" << 0 << 0 << true << true << false << 4;
        QTest::newRow("whole word skips part") << "concat cat"
                                               << "cat" << 0 << 0 << true << false << true << 7;
        QTest::newRow("whole word up skips part") << "cat cats"
                                                  << "cat" << 8 << 8 << false << false << true << 0;
        QTest::newRow("underscore joins words") << "my_cat cat_ cat"
                                                << "cat" << 0 << 0 << true << false << true << 12;
        QTest::newRow("digits join words") << "cat9 cat"
                                           << "cat" << 0 << 0 << true << false << true << 5;
        QTest::newRow("punctuation separates") << "(cat)"
                                               << "cat" << 0 << 0 << true << false << true << 1;
        QTest::newRow("whole word none") << "cats"
                                         << "cat" << 0 << 0 << true << false << true << -1;
        QTest::newRow("empty pattern") << "abc"
                                       << "" << 0 << 0 << true << false << false << -1;
        QTest::newRow("no wrap down") << "cat and"
                                      << "cat" << 1 << 1 << true << false << false << -1;
        QTest::newRow("no wrap up") << "and cat"
                                    << "cat" << 2 << 2 << false << false << false << -1;
    }

    void search()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(int, selStart);
        QFETCH(int, selEnd);
        QFETCH(bool, down);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWord);
        QFETCH(int, found);
        const SlotFindLogic::Options options{down, matchCase, wholeWord};
        QCOMPARE(SlotFindLogic::findMatch(text, pattern, selStart, selEnd, options),
                 qsizetype(found));
    }

    void initialPlacement()
    {
        QCOMPARE(SlotFindLogic::initialDialogPosition(QRect(0, 0, 1920, 1080), QSize(400, 180)),
                 QPoint(760, 300));
        QCOMPARE(
            SlotFindLogic::initialDialogPosition(QRect(1920, 100, 1280, 1024), QSize(300, 124)),
            QPoint(1920 + 490, 100 + 300));
    }

    void moveOffMatch_data()
    {
        QTest::addColumn<QRect>("dialog");
        QTest::addColumn<QPoint>("matchStart");
        QTest::addColumn<QPoint>("afterMatch");
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<int>("newTop"); // -1: stays
        const QRect screen(0, 0, 1024, 768);
        QTest::newRow("neither point inside")
            << QRect(100, 100, 300, 150) << QPoint(500, 400) << QPoint(560, 400) << screen << -1;
        // Room above the match: bottom edge 20 px above the match's top.
        QTest::newRow("start inside, room above") << QRect(100, 300, 300, 150) << QPoint(150, 400)
                                                  << QPoint(200, 400) << screen << 400 - 20 - 150;
        QTest::newRow("only point below end inside")
            << QRect(100, 300, 300, 150) << QPoint(50, 290) << QPoint(150, 290) << screen
            << 290 - 20 - 150;
        // No room above (H + 20 >= Y): top edge 40 px below the match.
        QTest::newRow("boundary H+20 == Y moves below")
            << QRect(100, 50, 300, 150) << QPoint(150, 170) << QPoint(200, 170) << screen << 210;
        QTest::newRow("H+20 < Y moves above")
            << QRect(100, 100, 300, 150) << QPoint(150, 171) << QPoint(200, 171) << screen << 1;
        // Neither fits: stays.
        QTest::newRow("tall dialog stays")
            << QRect(0, 0, 400, 700) << QPoint(150, 100) << QPoint(200, 100) << screen << -1;
        QTest::newRow("other screen below")
            << QRect(100, 1068, 300, 150) << QPoint(150, 1168) << QPoint(200, 1168)
            << QRect(0, 768, 1024, 768) << 768 + 400 - 20 - 150;
    }

    void moveOffMatch()
    {
        QFETCH(QRect, dialog);
        QFETCH(QPoint, matchStart);
        QFETCH(QPoint, afterMatch);
        QFETCH(QRect, screen);
        QFETCH(int, newTop);
        const auto top = SlotFindLogic::dialogTopAfterMatch(dialog, matchStart, afterMatch, screen);
        QCOMPARE(top.value_or(-1), newTop);
    }

    void dialogTextAndOptions()
    {
        SlotEditor editor;
        editor.show();
        QVERIFY(editor.findDialog() == nullptr);
        editor.openFindDialog(QString());
        SlotFindDialog* dialog = editor.findDialog();
        QVERIFY(dialog != nullptr);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->isModal());
        QCOMPARE(dialog->windowTitle(), QString("Find"));
        QCOMPARE(dialog->findText(), QString());
        QVERIFY(dialog->searchDown());
        QVERIFY(!dialog->matchCase());
        QVERIFY(!dialog->wholeWord());
        QVERIFY(!dialog->findNextButton()->isEnabled());

        const QString longText = QString(200, QLatin1Char('a')) + QString(100, QLatin1Char('b'));
        editor.openFindDialog(longText);
        QCOMPARE(dialog->findText(), longText.left(255));
        QVERIFY(dialog->findNextButton()->isEnabled());

        editor.openFindDialog("word");
        dialog->reject();
        QVERIFY(!dialog->isVisible());
        editor.openFindDialog(QString()); // keeps the previous text
        QCOMPARE(dialog->findText(), QString("word"));
        QCOMPARE(editor.findDialog(), dialog);
    }

    // Tab walks every control, the "Down" direction button among them,
    // whichever direction is chosen.
    void dialogTabOrder_data()
    {
        QTest::addColumn<bool>("down");
        QTest::newRow("down chosen") << true;
        QTest::newRow("up chosen") << false;
    }

    void dialogTabOrder()
    {
        QFETCH(bool, down);
        SlotEditor editor;
        editor.show();
        editor.openFindDialog(QStringLiteral("word"));
        SlotFindDialog* dialog = editor.findDialog();
        dialog->setSearchDown(down);
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QStringList visited;
        for (int i = 0; i < 8; ++i) {
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus != nullptr);
            if (auto* button = qobject_cast<QAbstractButton*>(focus))
                visited << button->text();
            else
                visited << QString::fromLatin1(focus->metaObject()->className());
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        // The direction buttons are one stop, at the chosen one; the arrow
        // keys move between them.
        const QString chosen = down ? QStringLiteral("&Down") : QStringLiteral("&Up");
        QCOMPARE(visited,
                 (QStringList{"QLineEdit", "Match &whole word only", "Match &case", chosen,
                              "&Find Next", "Cancel", "QLineEdit", "Match &whole word only"}));
        // Choosing the other direction makes it the stop.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(qobject_cast<QAbstractButton*>(QApplication::focusWidget())->text(), chosen);
        QTest::keyClick(QApplication::focusWidget(), down ? Qt::Key_Left : Qt::Key_Right);
        QCOMPARE(dialog->searchDown(), !down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(qobject_cast<QAbstractButton*>(QApplication::focusWidget())->text(),
                 down ? QStringLiteral("&Up") : QStringLiteral("&Down"));
    }

    void dialogPlacementFirstAndLater()
    {
        SlotEditor editor;
        editor.show();
        editor.openFindDialog("x");
        SlotFindDialog* dialog = editor.findDialog();
        const QRect screen = editor.screen()->geometry();
        QCOMPARE(dialog->pos(), SlotFindLogic::initialDialogPosition(screen, dialog->size()));
        dialog->move(dialog->pos() + QPoint(37, 11));
        const QPoint moved = dialog->pos();
        dialog->reject();
        editor.openFindDialog(QString());
        QCOMPARE(dialog->pos(), moved);
    }

    void findNextFromDialog()
    {
        SlotEditor editor;
        editor.show();
        editor.setText("one Two\r\ntwo two");
        editor.openFindDialog("two");
        SlotFindDialog* dialog = editor.findDialog();
        QTest::mouseClick(dialog->findNextButton(), Qt::LeftButton);
        QCOMPARE(editor.textCursor().selectionStart(), 4);
        QCOMPARE(editor.textCursor().position(), 7); // caret at the match's end
        dialog->setMatchCase(true);
        QTest::mouseClick(dialog->findNextButton(), Qt::LeftButton);
        QCOMPARE(editor.selectedText(), QString("two"));
        QCOMPARE(editor.textCursor().selectionStart(), 8);
        QTest::mouseClick(dialog->findNextButton(), Qt::LeftButton);
        QCOMPARE(editor.textCursor().selectionStart(), 12);
        // Nothing further: the selection stays.
        QTest::mouseClick(dialog->findNextButton(), Qt::LeftButton);
        QCOMPARE(editor.textCursor().selectionStart(), 12);
        QCOMPARE(editor.textCursor().selectionEnd(), 15);
        dialog->setSearchDown(false);
        QTest::mouseClick(dialog->findNextButton(), Qt::LeftButton);
        QCOMPARE(editor.textCursor().selectionStart(), 8); // "one Two" and a line break
    }

    void findTextAcrossLineBreak()
    {
        SlotEditor editor;
        editor.setText("ab\r\ncd ab\r\ncd");
        select(editor, 0, 5);
        editor.openFindDialog(editor.selectedText());
        QTest::mouseClick(editor.findDialog()->findNextButton(), Qt::LeftButton);
        QCOMPARE(editor.textCursor().selectionStart(), 6); // a line break is one character
        QCOMPARE(editor.selectedText(), QString("ab\r\ncd"));
    }

    void repeatFindNeedsASearch()
    {
        SlotEditor editor;
        editor.setText("abc abc abc");
        QVERIFY(!editor.repeatFind());
        editor.openFindDialog(QString());
        editor.findDialog()->findField()->setText("abc"); // typed, not searched for
        QVERIFY(!editor.repeatFind());
        QCOMPARE(editor.textCursor().hasSelection(), false);

        QTest::mouseClick(editor.findDialog()->findNextButton(), Qt::LeftButton);
        QCOMPARE(editor.textCursor().selectionStart(), 0);
        editor.findDialog()->reject(); // closing keeps the last search
        QVERIFY(editor.repeatFind());
        QCOMPARE(editor.textCursor().selectionStart(), 4);
        // Repeat uses the dialog's current text and options.
        editor.openFindDialog("bc");
        editor.findDialog()->setSearchDown(false);
        QVERIFY(editor.repeatFind());
        QCOMPARE(editor.textCursor().selectionStart(), 1);
        QVERIFY(!editor.repeatFind());
        QCOMPARE(editor.textCursor().selectionStart(), 1);

        editor.findDialog()->findField()->clear();
        QVERIFY(!editor.repeatFind());
    }

    void lastSearchIsPerEditor()
    {
        SlotEditor first;
        SlotEditor second;
        first.setText("needle needle");
        second.setText("needle needle");
        first.openFindDialog("needle");
        QTest::mouseClick(first.findDialog()->findNextButton(), Qt::LeftButton);
        QVERIFY(first.textCursor().hasSelection());
        QVERIFY(!second.repeatFind());
        QVERIFY(!second.textCursor().hasSelection());
        QVERIFY(first.repeatFind());
        QCOMPARE(first.textCursor().selectionStart(), 7);
    }

    void dialogMovesOffMatch()
    {
        SlotEditor editor;
        editor.resize(400, 300);
        editor.move(0, 0);
        editor.setText("xx target");
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.openFindDialog("target");
        SlotFindDialog* dialog = editor.findDialog();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        // Cover the match's first character with the dialog.
        QTextCursor at(editor.document());
        at.setPosition(3);
        const QPoint match = editor.viewport()->mapToGlobal(editor.cursorRect(at).topLeft());
        dialog->move(match.x() - 10, match.y() - 10);
        QTRY_VERIFY(dialog->frameGeometry().contains(match));
        const int left = dialog->frameGeometry().left();
        QTest::mouseClick(dialog->findNextButton(), Qt::LeftButton);
        QCOMPARE(editor.selectedText(), QString("target"));
        const auto expected = SlotFindLogic::dialogTopAfterMatch(
            QRect(left, match.y() - 10, dialog->frameGeometry().width(),
                  dialog->frameGeometry().height()),
            match, match, dialog->screen()->geometry());
        QVERIFY(expected.has_value());
        QCOMPARE(dialog->frameGeometry().top(), *expected);
        QCOMPARE(dialog->frameGeometry().left(), left);
        QVERIFY(!dialog->frameGeometry().contains(match));

        // RepeatFind never moves the dialog.
        editor.setText("target target");
        dialog->move(match.x() - 10, match.y() - 10);
        const QPoint before = dialog->pos();
        QVERIFY(editor.repeatFind());
        QCOMPARE(dialog->pos(), before);
    }
};

CLIPSTOW_TEST_MAIN(TestSlotFind)
#include "tst_slotfind.moc"

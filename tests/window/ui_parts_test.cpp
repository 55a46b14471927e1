#include "app/ui/bound_text_box.h"
#include "app/ui/surface_view.h"
#include "platform/qt/qt_platform.h"
#include "support/test_main.h"
#include "support/window.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>

using namespace tessik;
using namespace tessik::test;

// The window's own small parts: the text box's typed line breaks, the mouse codes of the drawing
// boxes, the message boxes and the save dialog as Qt shows them, and the font they are shown in.
class UiPartsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Typed line breaks come back as CR LF, whichever the box made of them.
    void typedLineBreaksComeBackAsCrLf()
    {
        QPlainTextEdit box;
        BoundTextBox bound(&box);
        bound.show("");
        QTest::keyClicks(&box, "x\ry");
        box.appendPlainText(QString("a") + QChar::LineSeparator + "b");
        QCOMPARE(bound.take(), QString("x\r\ny\r\na\r\nb"));
    }

    // The mouse reaches the gestures as the codes they take: buttons 1, 2, 4 and modifiers 1, 2, 4, summed.
    void mouseCodes()
    {
        COMPARE_FACTS(
            int, {"no button", SurfaceView::buttonCode(Qt::NoButton), 0},
            {"the right button", SurfaceView::buttonCode(Qt::RightButton), 2},
            {"all three buttons", SurfaceView::buttonCode(Qt::LeftButton | Qt::RightButton | Qt::MiddleButton), 7},
            {"no modifier", SurfaceView::shiftCode(Qt::NoModifier), 0},
            {"Ctrl", SurfaceView::shiftCode(Qt::ControlModifier), 2},
            {"Shift, Ctrl and Alt", SurfaceView::shiftCode(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier),
             7});
    }

    // Message boxes show markup as it is written; Enter and Esc give the default answer the
    // program asked for. Each box is answered as soon as it shows: a click on Yes, or the key.
    void messageBoxes()
    {
        QtPlatform platform;
        using Box = std::tuple<MessageButtons, MessageAnswer, int, MessageAnswer>; // buttons, default, key, answer
        const auto yesNo = MessageButtons::YesNo;
        const auto yes = MessageAnswer::Yes, no = MessageAnswer::No;
        for (const auto &[buttons, safe, key, answer] :
             {Box{yesNo, no, 0, yes}, Box{yesNo, no, Qt::Key_Return, no}, Box{yesNo, no, Qt::Key_Escape, no},
              Box{yesNo, yes, Qt::Key_Return, yes}, Box{yesNo, yes, Qt::Key_Escape, yes},
              Box{MessageButtons::Ok, MessageAnswer::Ok, Qt::Key_Return, MessageAnswer::Ok}}) {
            Qt::TextFormat format = Qt::AutoText;
            QTimer::singleShot(0, [&] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                format = box->textFormat();
                if (key)
                    QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key(key));
                else
                    box->button(QMessageBox::Yes)->click();
            });
            QCOMPARE(platform.showMessage("<b>Pump</b>", buttons, safe), answer);
            QCOMPARE(format, Qt::PlainText);
        }
    }

    // The save dialog gives a typed name without an ending its default suffix, and tells which
    // file type was chosen.
    void fileDialog()
    {
        QtPlatform platform;
        QTemporaryDir folder;
        QTimer::singleShot(0, [] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            dialog->selectNameFilter("PNG picture (*.png)");
            dialog->selectFile("Pump");
            QMetaObject::invokeMethod(dialog, "accept"); // as the Save button does
        });
        const FileChoice choice =
            platform.showFileDialog({FileDialogMode::Save, "PDF document (*.pdf)|*.pdf|PNG picture (*.png)|*.png", "T",
                                     "x", folder.path(), ".rca.xml"});
        QCOMPARE(choice.path, folder.filePath("Pump.rca.xml"));
        QCOMPARE(choice.filterIndex, 1);
    }

    // The window is built in its own font; the message boxes and dialogs it opens later are in
    // the desktop's.
    void dialogsKeepTheDesktopsFont()
    {
        const QFont original = QApplication::font();
        const auto restore = qScopeGuard([&] { QApplication::setFont(original); }); // for the tests after this one
        QFont desktop = original;
        desktop.setPixelSize(17);
        QApplication::setFont(desktop);
        WindowDriver d;
        d.start();
        QVERIFY2(QApplication::font() == desktop,
                 qPrintable("the application's font is " + QApplication::font().toString() +
                            " once the window is built, not the desktop's " + desktop.toString()));
    }
};

TESSIK_TEST(UiPartsTest)
#include "ui_parts_test.moc"

#include "app/ui/bound_text_box.h"
#include "app/ui/surface_view.h"
#include "platform/qt/qt_platform.h"
#include "support/test_main.h"

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

using namespace tessik;

// The window's own small parts: the text box that hands texts back unchanged, the mouse codes of
// the drawing boxes, and the message boxes as Qt shows them.
class UiPartsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A text untouched comes back exactly; typed line breaks come back as CR LF.
    void textBoxHandsTextsBackUnchanged()
    {
        QPlainTextEdit box;
        BoundTextBox bound(&box);
        const QString stored = " A\u00a0B  \u0081\tC \nbare\rline\r\n";
        bound.show(stored);
        QCOMPARE(bound.take(), stored); // untouched, even what the box itself would rewrite
        bound.show("");
        QTest::keyClicks(&box, "x\ry");
        box.appendPlainText(QString("a") + QChar::LineSeparator + "b");
        QCOMPARE(bound.take(), QString("x\r\ny\r\na\r\nb")); // typed line breaks come back as CR LF
    }

    // The mouse reaches the gestures as the codes they take: buttons 1, 2, 4 and modifiers 1, 2, 4, summed.
    void mouseCodes()
    {
        QCOMPARE(QList({SurfaceView::buttonCode(Qt::NoButton), SurfaceView::buttonCode(Qt::RightButton),
                        SurfaceView::buttonCode(Qt::LeftButton | Qt::RightButton | Qt::MiddleButton),
                        SurfaceView::shiftCode(Qt::NoModifier), SurfaceView::shiftCode(Qt::ControlModifier),
                        SurfaceView::shiftCode(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)}),
                 QList({0, 2, 7, 0, 2, 7}));
    }

    // A drawing box moved to a screen of another density draws its bitmap anew at that density.
    void drawingBoxFollowsItsScreen()
    {
        SurfaceView view;
        view.resize(120, 80);
        view.surface().setDevicePixelRatio(2); // as if it came from a denser screen
        QSignalSpy redrawn(&view, &SurfaceView::densityChanged);
        QEvent moved(QEvent::ScreenChangeInternal);
        QApplication::sendEvent(&view, &moved);
        QCOMPARE(QList({view.surface().devicePixelRatio(), qreal(redrawn.count())}), QList<qreal>({1, 1}));
    }

    // Message boxes carry the exclamation icon and the title "Kelvane", show markup as it is
    // written, and make Yes the default of the question. Each box is read and answered as soon as
    // it shows.
    void messageBoxes()
    {
        QtPlatform platform;
        using Box = std::tuple<QMessageBox::StandardButton, MessageButtons, MessageAnswer>;
        for (const auto &[press, buttons, answer] : {Box{QMessageBox::Yes, MessageButtons::YesNo, MessageAnswer::Yes},
                                                     Box{QMessageBox::No, MessageButtons::YesNo, MessageAnswer::No},
                                                     Box{QMessageBox::Ok, MessageButtons::Ok, MessageAnswer::Ok}}) {
            QStringList seen;
            QTimer::singleShot(0, [&] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                seen << box->windowTitle() << box->text() << QString::number(box->icon())
                     << QString::number(box->standardButtons())
                     << QString::number(box->defaultButton() && box->defaultButton() == box->button(QMessageBox::Yes))
                     << QString::number(box->textFormat());
                box->button(press)->click();
            });
            QCOMPARE(platform.showMessage("<b>Pump</b>", buttons), answer);
            const bool question = buttons == MessageButtons::YesNo;
            QCOMPARE(seen,
                     QStringList({"Kelvane", "<b>Pump</b>", QString::number(QMessageBox::Warning),
                                  QString::number(question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok),
                                  QString::number(question), QString::number(Qt::PlainText)}));
        }
    }
};

TESSIK_TEST(UiPartsTest)
#include "ui_parts_test.moc"

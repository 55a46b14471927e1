#include "app/ui/bound_text_box.h"
#include "app/ui/surface_view.h"
#include "platform/qt/qt_platform.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

using namespace tessik;

namespace {

// Runs `check` on the modal dialog as soon as the event loop of the call that opens it starts.
template <typename Dialog> void whenShown(const std::function<void(Dialog *)> &check)
{
    QTimer::singleShot(0, [check] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        check(dialog);
        if (dialog->isVisible()) // a check failed before the dialog was answered
            dialog->reject();
    });
}

} // namespace

// The window's own small parts: the text box that hands texts back unchanged, the mouse codes of
// the drawing boxes, and the platform services as Qt provides them.
class UiPartsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textBoxAndMouseCodes()
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
        QCOMPARE(QList({SurfaceView::buttonCode(Qt::NoButton), SurfaceView::buttonCode(Qt::RightButton),
                        SurfaceView::buttonCode(Qt::LeftButton | Qt::RightButton | Qt::MiddleButton)}),
                 QList({0, 2, 7}));
        QCOMPARE(QList({SurfaceView::shiftCode(Qt::NoModifier), SurfaceView::shiftCode(Qt::ControlModifier),
                        SurfaceView::shiftCode(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)}),
                 QList({0, 2, 7}));
    }

    // Message boxes carry the exclamation icon and the title "Kelvane"; Yes is the default of the
    // question.
    void messageBoxes()
    {
        QtPlatform platform;
        for (size_t i = 0; i < 3; ++i) {
            const auto press = std::array{QMessageBox::Yes, QMessageBox::No, QMessageBox::Ok}[i];
            const bool question = press != QMessageBox::Ok;
            whenShown<QMessageBox>([=](QMessageBox *box) {
                QCOMPARE(QList({box->windowTitle(), box->text()}), QList<QString>({"Kelvane", "Text"}));
                QCOMPARE(box->icon(), QMessageBox::Warning);
                QCOMPARE(box->standardButtons(), question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
                QCOMPARE(box->defaultButton(), question ? box->button(QMessageBox::Yes) : nullptr);
                box->button(press)->click();
            });
            const MessageAnswer answer =
                platform.showMessage("Text", question ? MessageButtons::YesNo : MessageButtons::Ok);
            QCOMPARE(answer, (std::array{MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Ok}[i]));
        }
    }

    void fileDialog()
    {
        test::TestEnvironment env;
        QtPlatform platform;
        whenShown<QFileDialog>([&](QFileDialog *dialog) {
            QCOMPARE(QList({dialog->windowTitle(), dialog->selectedFiles().value(0)}),
                     QStringList({" Title", env.path("work/Proposed")}));
            QCOMPARE(dialog->nameFilters(), QStringList{"Analysis (*.rca.xml)"});
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const FileDialogRequest request{FileDialogMode::Save, "Analysis (*.rca.xml)|*.rca.xml", " Title", "Proposed",
                                        env.path("work")};
        QCOMPARE(platform.chooseFile(request), env.path("work/Proposed"));
        whenShown<QFileDialog>([](QFileDialog *dialog) {
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
            dialog->reject();
        });
        QCOMPARE(platform.chooseFile({FileDialogMode::Open, "All (*)", "", "", env.path("work")}), QString());
    }
};

TESSIK_TEST(UiPartsTest)
#include "ui_parts_test.moc"

// What only the window's objects tell; the real-window check works the rest.
#include "fixtures.h"
#include "form1.h"
#include "random_source.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QtTest>

using namespace tallymere;

// Notes whether the window shows the wait cursor while a run draws.
struct CursorDuringRuns final : testing::ConstantRandom {
    CursorDuringRuns() : ConstantRandom(0) {}
    void reseed() override { busy = QApplication::overrideCursor() != nullptr; }
    bool busy = false;
};

class TestForm1 : public QObject {
    Q_OBJECT

    testing::TempFolder parent_;
    testing::TempFolder folder_{parent_.path / "<b>作业</b>"}; // boxes must not read it as markup
    CursorDuringRuns random_;
    Form1 form_{folder_.text(), std::filesystem::temp_directory_path().native(), random_};

    // The icon, the text and the button of the box that 生成Word shows, after "markup" if the box
    // may read its text as such, or "busy" if the window still shows that it is busy.
    QString generated()
    {
        QString shown = "no box";
        QTimer::singleShot(100, [&shown] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = QApplication::overrideCursor() != nullptr ? "busy " : "";
                const auto buttons = box->buttons();
                shown += (box->textFormat() != Qt::PlainText ? "markup " : "") +
                         QString::number(box->icon()) + " " + box->text() + " " +
                         (buttons.size() == 1 ? buttons.front()->text() : "more buttons");
                box->accept();
            }
        });
        QTest::mouseClick(form_.findChild<QWidget*>("Command1"), Qt::LeftButton);
        return shown;
    }

private slots:
    // A path that does not fit the note is cut in the middle; a screen reader reads it whole.
    void namesIconNoteAndMessageBoxes()
    {
        const std::string folder = "/老师/第1学期" + std::string(60, 'x') + "/口算练习";
        Form1 form(folder, "/tmp", random_);
        const auto* note = form.findChild<QLabel*>("Label3");
        QCOMPARE(note->accessibleName(),
                 "练习保存在：" + QString::fromStdString(folder) + "/口算题.doc");
        QVERIFY2(note->text().startsWith("练习保存在：/老师/第1") && note->text().contains("…") &&
                     note->text().endsWith("/口算题.doc") &&
                     note->fontMetrics().horizontalAdvance(note->text()) <= note->width(),
                 qPrintable(note->text()));
        QCOMPARE(form_.findChild<QLabel*>("Label3")->text(),
                 "程序在临时文件夹里，练习会丢失，请先解压到桌面");
        QVERIFY(!form_.windowIcon().availableSizes().isEmpty());
        QCOMPARE(form_.findChild<QWidget*>("Combo1")->accessibleName(), "选择口算范围 以内");
        QCOMPARE(form_.findChild<QWidget*>("Combo2")->accessibleName(), "选择题数 道题");
        QCOMPARE(form_.findChildren<QAbstractButton*>("Option1").at(1)->accessibleName(),
                 "选择难度 连加减");
        QCOMPARE(generated(), "0 生成成功！请打开Word打印。 确定"); // no icon
        QVERIFY(random_.busy);                                      // a run may wait for the file
    }
};

// On the offscreen platform unless told otherwise, so that the test runs without a display.
[[maybe_unused]] static const bool offscreen =
    qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qputenv("QT_QPA_PLATFORM", "offscreen");
QTEST_MAIN(TestForm1)
#include "tst_form1.moc"

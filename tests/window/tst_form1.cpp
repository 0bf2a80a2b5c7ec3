// What only the window's objects tell; the real-window check works the rest.
#include "fixtures.h"
#include "form1.h"
#include "random_source.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QtTest>

using namespace tallymere;

class TestForm1 : public QObject {
    Q_OBJECT

    testing::TempFolder parent_;
    // Named like markup, which the boxes must show as it is named.
    testing::TempFolder folder_{parent_.path / "<b>作业</b>"};
    EngineRandom random_;
    Form1 form_{folder_.text(), random_};

    QWidget* control(const char* name) const { return form_.findChild<QWidget*>(name); }

    // The icon, the text (and whether it may be read as markup) and the button of the box that
    // 生成Word shows.
    QString generated()
    {
        QString shown = "no box";
        QTimer::singleShot(100, [&shown] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                const auto buttons = box->buttons();
                const bool markup = box->textFormat() != Qt::PlainText;
                shown = QString::number(box->icon()) + (markup ? " markup " : " ") + box->text() +
                        " " + (buttons.size() == 1 ? buttons.front()->text() : "more buttons");
                box->accept();
            }
        });
        QTest::mouseClick(control("Command1"), Qt::LeftButton);
        return shown;
    }

private slots:
    void screenReaderNames()
    {
        QCOMPARE(control("Combo1")->accessibleName(), "选择口算范围 以内");
        QCOMPARE(control("Combo2")->accessibleName(), "选择题数 道题");
        QCOMPARE(form_.findChildren<QAbstractButton*>("Option1").at(1)->accessibleName(),
                 "选择难度 连加减");
    }

    void messageBoxes()
    {
        QCOMPARE(generated(), "0 生成成功！请打开Word打印。 确定"); // no icon
        std::filesystem::remove(folder_.worksheet());
        std::filesystem::create_directory(folder_.worksheet());
        const auto file = QString::fromStdString(testing::pathText(folder_.worksheet()));
        QCOMPARE(generated(), "2 无法打开文件“" + file + "”：同名的文件夹占用了这个位置。 确定");
    }
};

// On the offscreen platform unless told otherwise, so that it runs without a display.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    TestForm1 test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_form1.moc"

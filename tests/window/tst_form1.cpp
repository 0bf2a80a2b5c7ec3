// What only the window's objects tell; the real-window check works the rest.
#include "form1.h"
#include "support/fixtures.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QMessageBox>
#include <QtTest>

using namespace tallymere;

class TestForm1 : public QObject {
    Q_OBJECT

    testing::TempFolder folder_;
    Form1 form_{folder_.text()};

    QWidget* control(const char* name) const { return form_.findChild<QWidget*>(name); }

private slots:
    void screenReaderNames()
    {
        QCOMPARE(control("Combo1")->accessibleName(), "选择口算范围 以内");
        QCOMPARE(control("Combo2")->accessibleName(), "选择题数 道题");
        QCOMPARE(form_.findChild<QButtonGroup*>("Option1")->button(1)->accessibleName(),
                 "选择难度 连加减");
    }

    void aFailureSaysWhichFile()
    {
        std::filesystem::create_directory(folder_.worksheet());
        QString text;
        QTimer::singleShot(100, [&text] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            text = box->icon() == QMessageBox::Warning ? box->text() : "no warning";
            box->accept();
        });
        QTest::mouseClick(control("Command1"), Qt::LeftButton);
        const auto file = QString::fromStdString(testing::pathText(folder_.worksheet()));
        QVERIFY2(text.contains("“" + file + "”"), qPrintable(text));
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"

#include "form1.h"
#include "support/temp_folder.h"
#include "support/worksheet_reader.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <memory>

using namespace tallymere;

namespace {

// What a modal box showed before it was answered.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QAbstractButton*>::size_type buttons = 0;
};

// Waits for the next modal message box, notes what it shows and presses its OK button.
void answerNextBox(SeenBox* seen)
{
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [seen, poll] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        *seen = {box->windowTitle(), box->text(), box->icon(), box->buttons().size()};
        box->button(QMessageBox::Ok)->click();
        poll->deleteLater();
    });
    poll->start(10);
}

QWidget* control(const Form1& form, const QString& name, int index)
{
    if (index >= 0) {
        return form.findChild<QButtonGroup*>(name)->button(index);
    }
    return form.findChild<QWidget*>(name);
}

// Presses 生成Word and answers the box it shows.
SeenBox pressGenerate(const Form1& form)
{
    SeenBox seen;
    answerNextBox(&seen);
    QTest::mouseClick(control(form, "Command1", -1), Qt::LeftButton);
    return seen;
}

QString shownText(const QWidget* widget)
{
    if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
        return group->title();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text();
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    return qobject_cast<const QComboBox*>(widget)->currentText();
}

QStringList items(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i) {
        texts << box->itemText(i);
    }
    return texts;
}

// Types ASCII key by key; other text arrives as a Chinese input method commits it.
void typeInto(QComboBox* box, const QString& text)
{
    QLineEdit* field = box->lineEdit();
    field->selectAll();
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; })) {
        QTest::keyClicks(field, text);
        return;
    }
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(field, &commit);
}

std::vector<testing::ReadSheet> sheetsIn(const testing::TempFolder& folder)
{
    return testing::readWorksheets(testing::fileBytes(folder.worksheet()));
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void init() { folder_ = std::make_unique<testing::TempFolder>(); }
    void cleanup()
    {
        folder_.reset();
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void controls_data();
    void controls();
    void startValues();
    void focusOrder();
    void generateWithStartValues();
    void settingsReachTheRun_data();
    void settingsReachTheRun();
    void failureShowsWhyAndKeepsTheWindow();
    void quitWritesNothing();

private:
    std::unique_ptr<testing::TempFolder> folder_; // a fresh one for each test
};

void TestForm1::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("rect"); // in pixels, from the window's top-left corner

    QTest::newRow("Frame1") << "Frame1" << -1 << "Form1"
                            << "选择口算范围" << QRect(24, 16, 137, 65);
    QTest::newRow("Combo1") << "Combo1" << -1 << "Frame1"
                            << "10" << QRect(40, 40, 65, 20);
    QTest::newRow("Label1") << "Label1" << -1 << "Frame1"
                            << "以内" << QRect(112, 40, 41, 17);
    QTest::newRow("Frame2") << "Frame2" << -1 << "Form1"
                            << "选择难度" << QRect(168, 16, 169, 65);
    QTest::newRow("Option1(0)") << "Option1" << 0 << "Frame2"
                                << "加减" << QRect(184, 40, 73, 17);
    QTest::newRow("Option1(1)") << "Option1" << 1 << "Frame2"
                                << "连加减" << QRect(256, 40, 73, 17);
    QTest::newRow("Command1") << "Command1" << -1 << "Form1"
                              << "生成Word" << QRect(216, 96, 105, 33);
    QTest::newRow("Command2") << "Command2" << -1 << "Form1"
                              << "退出" << QRect(216, 136, 105, 33);
    QTest::newRow("Frame3") << "Frame3" << -1 << "Form1"
                            << "选择题数" << QRect(24, 88, 137, 81);
    QTest::newRow("Combo2") << "Combo2" << -1 << "Frame3"
                            << "100" << QRect(40, 120, 65, 20);
    QTest::newRow("Label2") << "Label2" << -1 << "Frame3"
                            << "道题" << QRect(112, 120, 33, 25);
    QTest::newRow("Label3") << "Label3" << -1 << "Form1"
                            << "" << QRect(0, 200, 289, 17);
    QTest::newRow("Label4") << "Label4" << -1 << "Form1"
                            << "2010.11.13" << QRect(296, 200, 65, 17);
}

void TestForm1::controls()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    Form1 form(folder_->text());
    const QWidget* widget = control(form, name, index);
    QVERIFY(widget != nullptr);
    QCOMPARE(widget->objectName(), name);
    QTEST(widget->parentWidget()->objectName(), "parent");
    QTEST(shownText(widget), "text");
    QTEST(QRect(widget->mapTo(&form, QPoint(0, 0)), widget->size()), "rect");
    QVERIFY(widget->isEnabled());
}

void TestForm1::startValues()
{
    Form1 form(folder_->text());
    QCOMPARE(form.windowTitle(), "Tallymere");
    QCOMPARE(form.minimumSize(), QSize(360, 217));
    QCOMPARE(form.maximumSize(), QSize(360, 217));
    const auto* range = form.findChild<QComboBox*>("Combo1");
    const auto* count = form.findChild<QComboBox*>("Combo2");
    QCOMPARE(items(range), QStringList({"10", "20", "30", "50", "60", "70", "100"}));
    QCOMPARE(items(count), QStringList({"20", "30", "40", "50", "80", "100"}));
    QVERIFY(range->isEditable() && count->isEditable());
    QCOMPARE(form.findChild<QButtonGroup*>("Option1")->checkedId(), 0);
    QCOMPARE(range->accessibleName(), "选择口算范围 以内");
    QCOMPARE(count->accessibleName(), "选择题数 道题");
    QCOMPARE(control(form, "Option1", 1)->accessibleName(), "选择难度 连加减");
    for (const auto* button : form.findChildren<QPushButton*>()) {
        QVERIFY(!button->isDefault() && !button->autoDefault());
    }
}

void TestForm1::focusOrder()
{
    Form1 form(folder_->text());
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTRY_COMPARE(QApplication::focusWidget(), control(form, "Combo1", -1));

    const QList<QWidget*> expected = {control(form, "Option1", 0), control(form, "Command1", -1),
                                      control(form, "Command2", -1), control(form, "Combo2", -1),
                                      control(form, "Combo1", -1)};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void TestForm1::generateWithStartValues()
{
    Form1 form(folder_->text());
    form.show();
    const SeenBox seen = pressGenerate(form);

    QCOMPARE(seen.title, "Tallymere");
    QCOMPARE(seen.text, "生成成功！请打开Word打印。");
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    QCOMPARE(seen.buttons, 1);
    const auto sheets = sheetsIn(*folder_);
    QCOMPARE(sheets.size(), 1u);
    QCOMPARE(testing::layoutFault(sheets[0], 100, DifficultyMode::SingleStep), "");
    QCOMPARE(testing::rangeFault(sheets[0], 10, DifficultyMode::SingleStep), "");
}

void TestForm1::settingsReachTheRun_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("problems");

    QTest::newRow("chained") << 1 << ""
                             << "" << 100;
    QTest::newRow("typed range") << 0 << "25"
                                 << "" << 100;
    QTest::newRow("typed count") << 0 << ""
                                 << "７" << 7;
    QTest::newRow("chained within 100") << 1 << "100"
                                        << "20" << 20;
}

void TestForm1::settingsReachTheRun()
{
    QFETCH(int, option);
    QFETCH(QString, range);
    QFETCH(QString, count);
    Form1 form(folder_->text());
    form.show();
    QTest::mouseClick(control(form, "Option1", option), Qt::LeftButton);
    for (const auto& [name, text] : {std::pair{"Combo1", range}, std::pair{"Combo2", count}}) {
        if (!text.isEmpty()) {
            typeInto(form.findChild<QComboBox*>(name), text);
        }
    }
    const SeenBox seen = pressGenerate(form);

    QCOMPARE(seen.text, "生成成功！请打开Word打印。");
    const auto mode = option == 0 ? DifficultyMode::SingleStep : DifficultyMode::ChainedSteps;
    const auto sheet = sheetsIn(*folder_).back();
    QFETCH(int, problems);
    QCOMPARE(testing::layoutFault(sheet, problems, mode), "");
    QCOMPARE(testing::rangeFault(sheet, range.isEmpty() ? 10 : range.toDouble(), mode), "");
    QCOMPARE(form.findChild<QComboBox*>("Combo1")->currentText(), range.isEmpty() ? "10" : range);
}

void TestForm1::failureShowsWhyAndKeepsTheWindow()
{
    std::filesystem::remove(folder_->worksheet());
    std::filesystem::create_directory(folder_->worksheet());
    Form1 form(folder_->text());
    form.show();
    const SeenBox seen = pressGenerate(form);

    QCOMPARE(seen.title, "Tallymere");
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QVERIFY2(seen.text.contains(QString::fromStdString(testing::pathText(folder_->worksheet()))),
             qPrintable(seen.text));
    QVERIFY(form.isVisible());
    QVERIFY(std::filesystem::is_empty(folder_->worksheet()));

    std::filesystem::remove(folder_->worksheet());
    QCOMPARE(pressGenerate(form).text, "生成成功！请打开Word打印。");
    QCOMPARE(sheetsIn(*folder_).size(), 1u);
}

void TestForm1::quitWritesNothing()
{
    Form1 form(folder_->text());
    form.show();
    QTest::mouseClick(control(form, "Command2", -1), Qt::LeftButton);
    QVERIFY(!form.isVisible());
    QVERIFY(std::filesystem::is_empty(folder_->path()));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"

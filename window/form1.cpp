#include "form1.h"

#include "form_table.h"
#include "generation/run.h"
#include "message_box.h"
#include "qt_text.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <exception>

namespace tallymere {

namespace {

QComboBox* makeComboBox(const form::Control& control, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    // The typed text is the setting: no completion may change it, and nothing joins the list.
    box->setCompleter(nullptr);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string_view choice : control.choices) {
        box->addItem(qtText(choice));
    }
    // The list position follows the start text, so that Up and Down step to its neighbours.
    const QString text = qtText(control.text);
    box->setCurrentIndex(box->findText(text));
    box->setEditText(text);
    return box;
}

// Enter presses the button that has the focus, as on every desktop, although neither button is a
// default button.
class CommandButton final : public QPushButton {
public:
    CommandButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
    {
        setAutoDefault(false);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

QWidget* makeWidget(const form::Control& control, QWidget* parent)
{
    const QString text = qtText(control.text);
    switch (control.kind) {
    case form::GroupBox:
        return new QGroupBox(text, parent);
    case form::ComboBox:
        return makeComboBox(control, parent);
    case form::OptionButton:
        return new QRadioButton(text, parent);
    case form::Label:
        return new QLabel(text, parent);
    case form::PushButton:
        return new CommandButton(text, parent);
    }
    return nullptr; // every kind is handled above
}

// Tells the user that the sheet is ready, and waits until the box is dismissed.
class CompletionBox final : public CompletionNotice {
public:
    explicit CompletionBox(QWidget* parent) : parent_(parent) {}
    void show(std::string_view message) override
    {
        showMessage(parent_, QMessageBox::NoIcon, qtText(message));
    }

private:
    QWidget* parent_;
};

} // namespace

Form1::Form1(std::string worksheetFolder, QWidget* parent)
    : QWidget(parent), worksheetFolder_(std::move(worksheetFolder))
{
    setObjectName(qtText(form::windowName));
    setWindowTitle(qtText(form::windowCaption));
    setFixedSize(form::toPixels(form::clientWidth), form::toPixels(form::clientHeight));
    // The layout was drawn for a 12-pixel Chinese UI font, whose Latin letters are narrow; a wider
    // Western font would clip the captions.
    QFont chinese = font();
    chinese.setFamilies({"WenQuanYi Micro Hei", "Noto Sans CJK SC", chinese.family()});
    chinese.setPixelSize(12);
    setFont(chinese);
    buildControls();
    connectCommands();
}

void Form1::buildControls()
{
    modeButtons_ = new QButtonGroup(this);
    modeButtons_->setObjectName(qtText(form::modeButtons));
    QWidget* previous = nullptr;
    for (const form::Control& control : form::controls) {
        QWidget* parent =
            control.parent.empty() ? this : findChild<QWidget*>(qtText(control.parent));
        QWidget* widget = makeWidget(control, parent);
        widget->setObjectName(qtText(control.name));
        widget->setGeometry(form::toPixels(control.rect.left), form::toPixels(control.rect.top),
                            form::toPixels(control.rect.width),
                            form::toPixels(control.rect.height));
        if (auto* option = qobject_cast<QRadioButton*>(widget)) {
            modeButtons_->addButton(option, control.index);
        }
        if (widget->focusPolicy() != Qt::NoFocus) {
            widget->setAccessibleName(qtText(form::accessibleName(control)));
            if (previous != nullptr) {
                setTabOrder(previous, widget);
            }
            previous = widget;
        }
    }
    rangeBox_ = findChild<QComboBox*>(qtText(form::rangeBox));
    countBox_ = findChild<QComboBox*>(qtText(form::countBox));
    modeButtons_->button(form::singleStepIndex)->setChecked(true);
    rangeBox_->setFocus();
}

void Form1::connectCommands()
{
    connect(findChild<QPushButton*>(qtText(form::generateButton)), &QPushButton::clicked, this,
            &Form1::generateClicked);
    connect(findChild<QPushButton*>(qtText(form::quitButton)), &QPushButton::clicked, this,
            &QWidget::close);
}

WorksheetSettings Form1::currentSettings() const
{
    const auto mode = modeButtons_->checkedId() == form::singleStepIndex
                          ? DifficultyMode::SingleStep
                          : DifficultyMode::ChainedSteps;
    return {rangeBox_->currentText().toStdString(), countBox_->currentText().toStdString(), mode};
}

void Form1::generateClicked()
{
    CompletionBox completion(this);
    try {
        generateWorksheet(currentSettings(), worksheetFolder_, completion);
    } catch (const std::exception& failure) {
        // The sheet was not written and the file is as it was: say why, and let the user retry.
        showMessage(this, QMessageBox::Warning, QString::fromUtf8(failure.what()));
    }
}

} // namespace tallymere

#include "form1.h"

#include "generate_command.h"
#include "messages.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

namespace tallymere {

namespace {

// The core and the form table keep their texts in UTF-8.
QString qtText(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

constexpr const form::Control& rangeBox = form::controlNamed(form::rangeBox);
constexpr const form::Control& countBox = form::controlNamed(form::countBox);
constexpr const form::Control& generateButton = form::controlNamed(form::generateButton);
constexpr const form::Control& quitButton = form::controlNamed(form::quitButton);
constexpr const form::Control& noteLabel = form::controlNamed(form::noteLabel);

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

} // namespace

Form1::Form1(std::string worksheetFolder, std::string_view temporaryFolder, RandomSource& random,
             QWidget* parent)
    : QWidget(parent), worksheetFolder_(std::move(worksheetFolder)), random_(random)
{
    setObjectName(qtText(form::windowName));
    setWindowTitle(qtText(form::windowCaption));
    setWindowIcon(QIcon(":/tallymere.ico"));
    setFixedSize(form::pixels(form::clientWidth), form::pixels(form::clientHeight));
    // The layout was drawn for a 12-pixel Chinese UI font, whose Latin letters are narrow; a wider
    // Western font would clip the captions.
    QFont chinese = font();
    chinese.setFamilies({"WenQuanYi Micro Hei", "Noto Sans CJK SC", chinese.family()});
    chinese.setPixelSize(12);
    setFont(chinese);
    buildControls();
    showWhereSheetsGo(temporaryFolder);
    connectCommands();
}

void Form1::buildControls()
{
    modeButtons_ = new QButtonGroup(this);
    modeButtons_->setObjectName(qtText(form::modeButtons));
    QWidget* previous = nullptr;
    for (const form::Control& control : form::controls) {
        const form::Control* group = form::groupOf(control);
        QWidget* widget =
            makeWidget(control, group != nullptr ? controls_[form::positionOf(*group)] : this);
        controls_[form::positionOf(control)] = widget;
        widget->setObjectName(qtText(control.name));
        widget->setGeometry(form::pixels(control.rect.left), form::pixels(control.rect.top),
                            form::pixels(control.rect.width), form::pixels(control.rect.height));
        if (auto* option = qobject_cast<QRadioButton*>(widget)) {
            modeButtons_->addButton(option, static_cast<int>(form::positionOf(control)));
            option->setChecked(&control == &form::startOption);
        }
        if (widget->focusPolicy() != Qt::NoFocus) {
            widget->setAccessibleName(qtText(form::accessibleName(control)));
            if (previous != nullptr) {
                setTabOrder(previous, widget);
            }
            previous = widget;
        }
    }
    control<QWidget>(rangeBox)->setFocus();
}

// In the middle of a path that does not fit goes "…"; a screen reader reads the whole of it.
void Form1::showWhereSheetsGo(std::string_view temporaryFolder)
{
    auto* note = control<QLabel>(noteLabel);
    const QString text = qtText(form::sheetsNote(worksheetFolder_, temporaryFolder));
    note->setText(note->fontMetrics().elidedText(text, Qt::ElideMiddle, note->width()));
    note->setAccessibleName(text);
}

void Form1::connectCommands()
{
    connect(control<QPushButton>(generateButton), &QPushButton::clicked, this,
            &Form1::generateClicked);
    connect(control<QPushButton>(quitButton), &QPushButton::clicked, this, &QWidget::close);
}

// A modal box with the program's caption and one button; returns when it is dismissed.
void Form1::showMessage(std::string_view text, bool warning)
{
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                    qtText(form::windowCaption), qtText(text), QMessageBox::Ok, this);
    // A folder's name may look like markup; it is shown as it is named.
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Ok)->setText(qtText(form::okCaption));
    box.exec();
}

void Form1::generateClicked()
{
    // The run may wait seconds for another program to let go of the file.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const form::Outcome outcome =
        form::generateCommand(control<QComboBox>(rangeBox)->currentText().toStdString(),
                              control<QComboBox>(countBox)->currentText().toStdString(),
                              form::controls[static_cast<std::size_t>(modeButtons_->checkedId())],
                              worksheetFolder_, random_);
    QApplication::restoreOverrideCursor();
    showMessage(outcome.text, outcome.warning);
}

} // namespace tallymere

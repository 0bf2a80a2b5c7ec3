#pragma once

#include "form_table.h"

#include <QWidget>
#include <array>
#include <string>

class QButtonGroup;

namespace tallymere {

class RandomSource;

// The program's one window: the three settings of a worksheet and its two commands.
class Form1 : public QWidget {
    Q_OBJECT

public:
    // Sheets go to `worksheetFolder`, drawn from `random`; the note warns of `temporaryFolder`.
    Form1(std::string worksheetFolder, std::string_view temporaryFolder, RandomSource& random,
          QWidget* parent = nullptr);

private slots:
    void generateClicked();

private:
    void buildControls();
    void connectCommands();
    void showWhereSheetsGo(std::string_view temporaryFolder);
    void showMessage(std::string_view text, bool warning);

    template <typename Widget> Widget* control(const form::Control& control) const
    {
        return static_cast<Widget*>(controls_[form::positionOf(control)]);
    }

    std::string worksheetFolder_;
    RandomSource& random_;
    std::array<QWidget*, std::size(form::controls)> controls_{};
    QButtonGroup* modeButtons_ = nullptr;
};

} // namespace tallymere

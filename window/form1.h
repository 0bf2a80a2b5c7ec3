#pragma once

#include <QWidget>
#include <string>

class QButtonGroup;
class QComboBox;

namespace tallymere {

struct WorksheetSettings;

// The program's one window: the three settings of a worksheet and its two commands.
class Form1 : public QWidget {
    Q_OBJECT

public:
    // Sheets go to the worksheet file of `worksheetFolder`.
    explicit Form1(std::string worksheetFolder, QWidget* parent = nullptr);

private slots:
    void generateClicked();

private:
    void buildControls();
    void connectCommands();
    WorksheetSettings currentSettings() const;

    std::string worksheetFolder_;
    QComboBox* rangeBox_ = nullptr;
    QComboBox* countBox_ = nullptr;
    QButtonGroup* modeButtons_ = nullptr;
};

} // namespace tallymere

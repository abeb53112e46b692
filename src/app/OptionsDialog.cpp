#include "app/OptionsDialog.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "app/Startup.h"
#include "db/Numeric.h"

namespace pel {

std::string MaxPointsProblem(const std::string& text) {
    if (text.find_first_not_of(" \t") == std::string::npos)
        return "Enter the maximum number of points per EB file.";
    auto number = db::ParseNumber(text);
    if (!number) return "\"" + text + "\" is not a number.";
    if (!db::RoundHalfEvenToInt32(*number))
        return "\"" + text +
               "\" is out of range: the maximum number of points is at most 2147483647.";
    return std::string();
}

OptionsDialog::OptionsDialog(WindowContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName("frmOptions");
    setWindowTitle("Options");
    setModal(true);
    auto* column = new QVBoxLayout(this);

    auto* frame = new QGroupBox("Export to EB", this);
    frame->setObjectName("Frame1");
    auto* grid = new QGridLayout(frame);
    chkLimitPoints_ = new QCheckBox(frame);
    chkLimitPoints_->setObjectName("chkLimitPoints");
    auto* label2 = new QLabel("Limit maximum number of points per EB file", frame);
    label2->setObjectName("Label2");
    label1_ = new QLabel("Maximum Points per EB file", frame);
    label1_->setObjectName("Label1");
    txtMaxPoints_ = new QLineEdit("250", frame);
    txtMaxPoints_->setObjectName("txtMaxPoints");
    grid->addWidget(chkLimitPoints_, 0, 0);
    grid->addWidget(label2, 0, 1, 1, 2);
    grid->addWidget(label1_, 1, 1);
    grid->addWidget(txtMaxPoints_, 1, 2);
    column->addWidget(frame);

    auto* buttons = new QHBoxLayout;
    auto* cmdOK = new QPushButton("&OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    auto* cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    column->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &OptionsDialog::ok);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(chkLimitPoints_, &QCheckBox::clicked, this, &OptionsDialog::limitClicked);
    load();
}

void OptionsDialog::load() {
    chkLimitPoints_->setChecked(context_.state.limitPointsPerEb);
    limitClicked();
    txtMaxPoints_->setText(QString::number(context_.state.maxPointsPerEb));
}

void OptionsDialog::limitClicked() {
    const bool on = chkLimitPoints_->isChecked();
    label1_->setEnabled(on);
    txtMaxPoints_->setEnabled(on);
}

void OptionsDialog::ok() {
    // A text that is no whole number in range changes nothing and stores nothing; the dialog
    // stays open so that it can be put right.
    const std::string text = ToStdString(txtMaxPoints_->text());
    const std::string problem = MaxPointsProblem(text);
    if (!problem.empty()) {
        context_.dialogs.message(this, ToQString(kProgramTitle), ToQString(problem),
                                 Icon::Exclamation);
        return;
    }
    const std::int32_t n = *ParseWholeNumberSetting(text);
    AppState& state = context_.state;
    state.limitPointsPerEb = chkLimitPoints_->isChecked();
    context_.settings.write("Limit Points Per EB", state.limitPointsPerEb ? "True" : "False");
    // A maximum of 0 or less is ignored: the one stored stays.
    if (n > 0) {
        state.maxPointsPerEb = n;
        context_.settings.write("Max Points Per EB", std::to_string(n));
    }
    accept();
}

void OptionsDialog::closeEvent(QCloseEvent* event) {
    unloaded_ = true;
    QDialog::closeEvent(event);
}

}  // namespace pel
